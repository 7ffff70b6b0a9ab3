#pragma once

#include <QString>

namespace MnemonicText {

// The text as it shows with the mnemonic prefix hidden: a single "&" is dropped (the
// character after it shows plainly), "&&" shows one "&".
QString HideMnemonics(const QString& text);

} // namespace MnemonicText
