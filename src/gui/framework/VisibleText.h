#pragma once

#include <QString>

namespace zobl {

// Text that comes from a file or a file name (a path, a document title, a recovery record) as it
// may be shown in a window title or a dialog: every character that is invisible or changes how
// the text around it is drawn is written as its code, "<U+202E>". These are the formatting
// characters (bidirectional overrides, embeddings and isolates, zero-width characters, the
// byte-order mark, ...), control characters and the line and paragraph separators.
// Example: "/home/u/a\u202Esg.txt" is shown as "/home/u/a<U+202E>sg.txt", not as
// "/home/u/atxt.gs". Text without such characters comes back unchanged.
QString VisibleText(const QString& text);

}  // namespace zobl
