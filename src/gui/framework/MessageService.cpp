#include "gui/framework/MessageService.h"

#include <QFile>

#include "core/common/AtomicFile.h"
#include "core/common/MessageError.h"

namespace zobl {

bool MayOverwrite(MessageService& messages, const QString& path, QWidget* parent) {
    const auto existing = ExistingTarget(QFile::encodeName(path).toStdString());
    return !existing || messages.AskQuestion(message::kQuestionOverwrite,
                                             QFile::decodeName(existing->c_str()), parent) == kAnswerYes;
}

}  // namespace zobl
