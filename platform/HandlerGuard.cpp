// Catching what a handler lets escape and showing it.
#include "HandlerGuard.h"

#include <QString>
#include <exception>

namespace {

void ShowSafely(IUserPrompts& Prompts, const QString& Text) {
    // The display itself must not let an exception out either.
    try {
        Prompts.ShowError(Text);
    } catch (...) {
    }
}

} // namespace

bool RunGuarded(IUserPrompts& Prompts, const std::function<void()>& Handler) {
    try {
        Handler();
        return true;
    } catch (const std::exception& Error) {
        ShowSafely(Prompts, QString::fromLatin1(Error.what()));
    } catch (...) {
        ShowSafely(Prompts, QStringLiteral("Unknown error"));
    }
    return false;
}
