#pragma once

#include <QString>

namespace MnemonicText {

// The text as it shows with the mnemonic prefix hidden: a single "&" is dropped (the
// character after it shows plainly), "&&" shows one "&".
QString HideMnemonics(const QString& text);

// The same, and where in the shown text the mnemonic character stands (the first one marked),
// or -1.
QString HideMnemonics(const QString& text, qsizetype& mnemonicPosition);

// text with every "&" doubled, so that it shows as it stands where "&" marks a mnemonic.
QString Escape(const QString& text);

} // namespace MnemonicText
