#include "tests/ui/panel_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

QCheckBox* PanelFixture::box(int n) {
    return get<QCheckBox>(QStringLiteral("CheckBox%1").arg(n));
}

void PanelFixture::ticks(int n, std::uint32_t ms) {
    for (int i = 0; i < n; ++i) {
        clock.advance(ms);
        form.Timer1Timer();
    }
}

void PanelFixture::press(const char* name) {
    get<QAbstractButton>(name)->click();
}

void PanelFixture::enter(const char* edit, const QString& text) {
    auto* line = get<QLineEdit>(edit);
    line->setText(text);
    QTest::keyClick(line, Qt::Key_Return);
}
