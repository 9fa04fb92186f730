// ui/link_dialog.cpp — the link dialog's controls and the connection they make.
#include "ui/link_dialog.h"

#include "iolink/mosquitto_transport.h"

#include "ui/app_text.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kModalCancel = 2;

using ui::fromUtf8;

QLabel* makeLabel(QWidget* parent, const char* name, const char* caption, int x, int y) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(x, y);
    label->adjustSize();
    return label;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, std::string_view text, int x, int y,
                    int width) {
    auto* edit = new QLineEdit(fromUtf8(text), parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(x, y, width, 23);
    return edit;
}

}  // namespace

LinkDialog::LinkDialog(std::unique_ptr<plc::LinkTransport> transport, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      m_transport(std::move(transport)) {
    if (!m_transport) {
        m_transport = std::make_unique<iolink::MosquittoTransport>();
    }
    m_exchange = std::make_unique<plc::LinkExchange>(*m_transport, [this] { return itemNames(); });
    setObjectName(QStringLiteral("TForm4"));
    setWindowTitle(QString::fromUtf8("Wprowadź parametry połączenia DDE"));
    setFixedSize(412, 318);

    makeLabel(this, "Label1", "DDE Service", 12, 12);
    m_service = makeEdit(this, "Edit1", plc::kDefaultLinkService, 12, 30, 185);
    m_service->setToolTip(
        QString::fromUtf8("Broker MQTT: host, host:port lub "
                          "użytkownik:hasło@host:port (port domyślny 1883)"));
    makeLabel(this, "Label2", "DDE Topic", 215, 12);
    m_topic = makeEdit(this, "Edit2", plc::kDefaultLinkTopic, 215, 30, 185);
    m_topic->setToolTip(
        QString::fromUtf8("Przedrostek tematów: element to temat "
                          "<przedrostek>/<element>"));

    auto* group = new QGroupBox(QStringLiteral("DDE Items"), this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    group->setGeometry(12, 64, 388, 170);
    const plc::LinkItems defaults = plc::defaultLinkItems();
    constexpr std::array<const char*, 6> kCaptions = {"Wejścia dyskretne",   "Wejście analogowe 1",
                                                      "Wejście analogowe 2", "Wyjścia dyskretne",
                                                      "Wyjście analogowe 1", "Wyjście analogowe 2"};
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        // Inputs in the left column, outputs in the right one, each caption above its box.
        const int x = i < 3 ? 12 : 200;
        const int y = 24 + static_cast<int>(i % 3) * 48;
        const QByteArray label = "Label" + QByteArray::number(static_cast<int>(i) + 3);
        const QByteArray edit = "Edit" + QByteArray::number(static_cast<int>(i) + 3);
        makeLabel(group, label.constData(), kCaptions[i], x, y);
        m_items[i] = makeEdit(group, edit.constData(), defaults.names[i], x, y + 18, 176);
        QLineEdit* box = m_items[i];
        // A running link reads the names at every tick: a name is used once typed out, never
        // its beginnings ("N", "No", ...), on which outputs would be published as retained.
        connect(box, &QLineEdit::textChanged, this, [this, i, box] {
            if (!box->isModified()) {
                m_names.names[i] = box->text().toStdString();
            }
        });
        connect(box, &QLineEdit::editingFinished, this, [this, i, box] {
            box->setModified(false);
            m_names.names[i] = box->text().toStdString();
        });
    }
    m_names = defaults;

    m_status = makeLabel(this, "Label9", "Połączenie:", 12, 246);
    m_status->setFixedWidth(388);

    m_connect = new QPushButton(QString::fromUtf8("Połącz"), this);
    m_connect->setObjectName(QStringLiteral("Button1"));
    m_connect->setGeometry(12, 276, 100, 28);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("Button2"));
    m_ok->setGeometry(194, 276, 100, 28);
    m_ok->setEnabled(false);
    m_end = new QPushButton(QStringLiteral("Koniec"), this);
    m_end->setObjectName(QStringLiteral("Button3"));
    m_end->setGeometry(300, 276, 100, 28);
    for (QPushButton* button : {m_connect, m_ok, m_end}) {
        button->setAutoDefault(false);
    }

    connect(m_connect, &QPushButton::clicked, this, &LinkDialog::Button1Click);
    connect(m_ok, &QPushButton::clicked, this, &LinkDialog::Button2Click);
    connect(m_end, &QPushButton::clicked, this, &LinkDialog::Button3Click);
}

LinkDialog::~LinkDialog() {
    // The exchange refers to the transport and asks the edit boxes for names: it goes first.
    m_exchange.reset();
}

void LinkDialog::takeItemNames() {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        m_items[i]->setModified(false);
        m_names.names[i] = m_items[i]->text().toStdString();
    }
}

void LinkDialog::setConnectionEditable(bool editable) {
    m_service->setEnabled(editable);
    m_topic->setEnabled(editable);
    m_connect->setEnabled(editable);
}

void LinkDialog::Button1Click() {
    takeItemNames();
    m_status->setText(QString::fromUtf8("łącze"));
    m_ok->setEnabled(false);
    // Connecting waits a few seconds at most; the words on screen say so meanwhile.
    m_status->repaint();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const plc::LinkResult result =
        m_exchange->connect(m_service->text().toStdString(), m_topic->text().toStdString());
    QApplication::restoreOverrideCursor();
    const std::string_view why = plc::connectResultText(m_exchange->connectResult());
    m_status->setToolTip(QString::fromUtf8(why.data(), static_cast<qsizetype>(why.size())));
    switch (result) {
        case plc::LinkResult::Connected:
            m_status->setText(QString::fromUtf8("Połączenie udane"));
            m_ok->setEnabled(true);
            return;
        case plc::LinkResult::Failed:
            m_status->setText(QString::fromUtf8("Połączenie nieudane"));
            return;
    }
}

void LinkDialog::Button2Click() {
    takeItemNames();
    done(QDialog::Accepted);
}

void LinkDialog::Button3Click() {
    done(kModalCancel);
}

void LinkDialog::linkRunStarted() {
    setConnectionEditable(false);
}

void LinkDialog::closeDdeLink() {
    setConnectionEditable(true);
    m_exchange->close();
    m_ok->setEnabled(false);
    // The next showing must not claim a connection that is gone.
    m_status->setText(QString::fromUtf8("Połączenie:"));
}
