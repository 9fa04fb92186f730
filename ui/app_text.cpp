// ui/app_text.cpp — the program's title and captions.
#include "ui/app_text.h"

namespace ui {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString appTitle() {
    return QStringLiteral("Wirtualon!");
}

QString windowCaption(const QString& subject) {
    return appTitle() + QStringLiteral(" - ") + subject;
}

QString newProgramCaption() {
    return windowCaption(QStringLiteral("Program1"));
}

}  // namespace ui
