#pragma once

#include <QString>

class QWidget;

namespace zobl {

// Text that comes from a file or a file name (a path, a document title, a recovery record) as it
// may be shown in a window title or a dialog: every character that is invisible or changes how
// the text around it is drawn is written as its code, "<U+202E>". These are the formatting
// characters (bidirectional overrides, embeddings and isolates, zero-width characters, the
// byte-order mark, ...), control characters and the line and paragraph separators.
// Example: "/home/u/a\u202Esg.txt" is shown as "/home/u/a<U+202E>sg.txt", not as
// "/home/u/atxt.gs". Text without such characters comes back unchanged.
QString VisibleText(const QString& text);

// A window title with Qt's "[*]" place for the modified mark at its end, which Qt shows as "*"
// while the window is modified and not at all otherwise. A "[*]" of the name itself is doubled,
// which Qt shows as it is: "a[*].gs" gives "a[*][*].gs[*]".
QString TitleWithModifiedMark(const QString& name);
// A title made by TitleWithModifiedMark as Qt shows it (for lists of windows, which show titles
// as they are): "a.gs[*]" is "a.gs*" while window is modified, else "a.gs".
QString ShownTitle(const QWidget& window);

}  // namespace zobl
