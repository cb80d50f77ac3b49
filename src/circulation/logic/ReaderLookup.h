#pragma once

#include <QString>
#include <optional>

namespace ReaderLookup {

// The name of the reader with this number ("" when the name is empty), or
// nullopt when there is no such reader. Throws StoreError.
std::optional<QString> findName(const QString& readerNumber);

}  // namespace ReaderLookup
