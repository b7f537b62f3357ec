// The command-line spelling of PETSCII names.
#include "NameConvention.h"

#include <gtest/gtest.h>
#include <set>

TEST(NameConventionTest, EveryByteRoundTripsAndHasOneSpelling) {
    std::set<std::string> spellings;
    for (int b = 0; b < 256; ++b) {
        const PetsciiString one(1, static_cast<char>(b));
        const std::string text = PetsciiToCliName(one);
        EXPECT_EQ(CliNameToPetscii(text), one) << "byte " << b;
        // Output is plain ASCII that a shell passes unchanged.
        for (char c : text)
            EXPECT_TRUE(c >= 0x20 && c < 0x7F) << "byte " << b;
        spellings.insert(text);
    }
    EXPECT_EQ(spellings.size(), 256u);

    PetsciiString all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(CliNameToPetscii(PetsciiToCliName(all)), all);
}

TEST(NameConventionTest, HostLettersMapToBothLetterRanges) {
    EXPECT_EQ(CliNameToPetscii("hello"), "HELLO");
    EXPECT_EQ(CliNameToPetscii("AZ"), "\xC1\xDA");
    EXPECT_EQ(PetsciiToCliName("\x41\x5A\xC1\xDA"), "azAZ");
    // 0x61-0x7A also show as letters on a C64 but must stay distinct from 0xC1-0xDA.
    EXPECT_EQ(PetsciiToCliName("\x61"), "{$61}");
    EXPECT_NE(CliNameToPetscii("{$61}"), CliNameToPetscii("A"));
    EXPECT_EQ(PetsciiToCliName(" 0@[]\x5C"), " 0@[]{$5C}");
    EXPECT_EQ(CliNameToPetscii("{$a0}{$0D}"), "\xA0\x0D");
}

TEST(NameConventionTest, UnreadableInputIsRefused) {
    for (const char* bad : {"a_b", "x\\y", "{$4}", "{$4G}", "{4141}", "abc{$41", "caf\xC3\xA9", "~"})
        EXPECT_THROW(CliNameToPetscii(bad), ECliNameError) << bad;
}
