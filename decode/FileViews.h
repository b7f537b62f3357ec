// The views a file can be shown in, and the one that fits it best: by its type, its load
// address and its content.
#pragma once

#include "cmd_types.h"

#include <cstdint>
#include <optional>
#include <vector>

enum class TViewKind { Basic, Text, Hex, Picture };

// What a directory entry's type says of a file's bytes.
enum class TViewedType {
    Program,    // PRG: a load address, then the bytes
    Sequential, // SEQ and USR: PETSCII text, as a rule
    Other,      // DEL, REL and anything else
};

// The view type of a directory entry's file kind.
TViewedType ViewedTypeOf(TFileKind Kind);
// The load address of a program file; none for other types and for files too short.
std::optional<uint16_t> LoadAddressOf(const std::vector<uint8_t>& File, TViewedType Type);
// A program whose length fits a picture format and that loads at an 8K bank boundary, where
// the C64 can show a bitmap, opens as a picture; one whose first line links to the line after
// it as BASIC; SEQ and USR files as text; the rest as hex.
TViewKind FittingView(const std::vector<uint8_t>& File, TViewedType Type);
