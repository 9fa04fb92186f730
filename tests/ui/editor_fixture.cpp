#include "tests/ui/editor_fixture.h"

#include "ui/ladder_grid.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

QString shownText(QWidget& window, const char* name) {
    QWidget* w = child<QWidget>(window, name);
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return label->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text();
    }
    return qobject_cast<QAbstractButton*>(w)->text();
}

EditorFixture::EditorFixture() {
    auto scripted = std::make_unique<ScriptedPrompts>();
    prompts = scripted.get();
    window = std::make_unique<MainWindow>(std::move(scripted));
}

QAction* EditorFixture::action(const char* name) {
    return find<QAction>(name);
}

void EditorFixture::trigger(const char* name) {
    QAction* item = action(name);
    QVERIFY2(item, name);
    item->trigger();
}

void EditorFixture::click(const char* name) {
    find<QToolButton>(name)->click();
}

QLineEdit* EditorFixture::entryLine() {
    return find<QFrame>("Panel7")->findChild<QLineEdit*>(QStringLiteral("Edit1"));
}

void EditorFixture::showAndActivate() {
    window->show();
    activate();
}

void EditorFixture::activate() {
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void EditorFixture::put(int row, int col, int code, const std::string& operand) {
    doc().SetCellCode(row, col, code);
    if (!operand.empty()) {
        doc().SetCellText(row, col, "#A" + operand + "#");
    }
}

void EditorFixture::wires(int row, int from, int to) {
    for (int col = from; col <= to; ++col) {
        put(row, col, 7);
    }
}

void EditorFixture::rung(int row, const std::string& input, const std::string& output, int kind) {
    put(row, 0, 1, input);
    wires(row, 1, 8);
    put(row, 9, kind, output);
}

void EditorFixture::sealIn(int row, const std::string& start, const std::string& stop,
                           const std::string& output) {
    put(row, 0, 1, start);
    put(row, 1, 7 + 100);
    put(row, 2, 2, stop);
    wires(row, 3, 8);
    put(row, 9, 3, output);
    put(row + 1, 0, 1, output);
    put(row + 1, 1, 7 + 200);
}
