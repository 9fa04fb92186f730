// ui/about_box.cpp — the About box's static texts and its OK button.
#include "ui/about_box.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("O programie"));

    auto* product = new QLabel(QStringLiteral("Wirtualon!"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont big = product->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 6);
    product->setFont(big);
    product->setAlignment(Qt::AlignCenter);

    auto* version = new QLabel(QStringLiteral("Wersja " WIRTUALON_VERSION), this);
    version->setObjectName(QStringLiteral("Version"));
    version->setAlignment(Qt::AlignCenter);

    auto* comments = new QLabel(
        QString::fromUtf8("Edytor i symulator programów w języku drabinkowym dla sterowników "
                          "programowalnych.\n\nNarysuj schemat, wpisz operandy, sprawdź "
                          "program, "
                          "obejrzyj listę instrukcji i uruchom go w symulowanym sterowniku."),
        this);
    comments->setObjectName(QStringLiteral("Comments"));
    comments->setWordWrap(true);
    comments->setAlignment(Qt::AlignCenter);
    // A wrapped label needs its width fixed for the dialog to take the height of all its lines.
    comments->setFixedWidth(300);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(product);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(comments);
    layout->addSpacing(8);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
