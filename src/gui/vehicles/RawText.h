#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "core/text/CodePages.h"

namespace zobl {

// Texts of vehicle graphics are kept as the files hold them, Windows-1252 bytes; the windows work
// in QString.
inline std::string ToRaw(const QString& text) {
    return Utf8ToCp1252(text.toStdString());
}
inline QString FromRaw(std::string_view raw) {
    return QString::fromStdString(Cp1252ToUtf8(raw));
}

}  // namespace zobl
