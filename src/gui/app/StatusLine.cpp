#include "gui/app/StatusLine.h"

#include <algorithm>
#include <iterator>

#include <QFrame>
#include <QLabel>
#include <QStatusBar>

#include "gui/lang/Localization.h"

namespace zobl {

namespace {
constexpr int kFirstIndicatorKey = 7080;  // section "STATE": caps lock, num lock, scroll lock
constexpr Qt::Key kLockKeys[3] = {Qt::Key_CapsLock, Qt::Key_NumLock, Qt::Key_ScrollLock};
}  // namespace

StatusLine::StatusLine(QStatusBar& bar, LockKeyReader readLockKeys, const CLanguageManager& language)
    : readLockKeys_(std::move(readLockKeys)) {
    bar.setObjectName(QStringLiteral("StatusBar"));
    messagePane_ = new QLabel(&bar);
    messagePane_->setObjectName(QStringLiteral("MessagePane"));
    messagePane_->setTextFormat(Qt::PlainText);
    bar.addWidget(messagePane_, 1);
    zoomPane_ = new QLabel(&bar);
    zoomPane_->setObjectName(QStringLiteral("ZoomPane"));
    zoomPane_->setTextFormat(Qt::PlainText);
    zoomPane_->setAlignment(Qt::AlignCenter);
    // Wide enough for the widest zoom, so that the panes beside it stay in place.
    zoomPane_->setMinimumWidth(zoomPane_->fontMetrics().horizontalAdvance(QStringLiteral("Zoom 10")) + 12);
    zoomPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    bar.addPermanentWidget(zoomPane_);
    // Each pane as wide as the widest text, so that the panes keep their places when a key is pressed.
    int width = 0;
    for (std::size_t i = 0; i < indicators_.size(); ++i) {
        indicatorTexts_[i] = GetText(language, kFirstIndicatorKey + int(i), kStateSection);
        width = std::max(width, bar.fontMetrics().horizontalAdvance(indicatorTexts_[i]));
    }
    for (QLabel*& indicator : indicators_) {
        indicator = new QLabel(&bar);
        indicator->setAlignment(Qt::AlignCenter);
        indicator->setMinimumWidth(width + 12);
        indicator->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        bar.addPermanentWidget(indicator);
    }
    UpdateLockIndicators();
}

void StatusLine::SetMessageText(const QString& text) {
    messagePane_->setText(text);
}

QString StatusLine::MessageText() const {
    return messagePane_->text();
}

void StatusLine::SetZoomText(const QString& text) {
    zoomPane_->setText(text);
}

QString StatusLine::ZoomText() const {
    return zoomPane_->text();
}

QStringList StatusLine::IndicatorTexts() const {
    QStringList texts;
    for (const QLabel* indicator : indicators_) {
        texts << indicator->text();
    }
    return texts;
}

void StatusLine::UpdateLockIndicators() {
    const LockKeyStates states = readLockKeys_ ? readLockKeys_() : ReadPlatformLockKeys();
    for (std::size_t i = 0; i < indicators_.size(); ++i) {
        indicators_[i]->setText(states[i].value_or(false) ? indicatorTexts_[i] : QString());
    }
}

bool StatusLine::IsLockKey(int key) {
    return std::find(std::begin(kLockKeys), std::end(kLockKeys), key) != std::end(kLockKeys);
}

}  // namespace zobl
