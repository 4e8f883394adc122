#pragma once

namespace brisk {

// The "Transfer Type" menu: Auto chooses ASCII or binary per file by its extension.
enum class TransferType { Auto, Ascii, Binary };

} // namespace brisk
