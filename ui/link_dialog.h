// ui/link_dialog.h — the link dialog: the broker, the topic prefix and the six item names, the
// connect button and its result; it owns the link that a simulation then exchanges through.
#pragma once

#include "plc/link_exchange.h"

#include <QDialog>

#include <array>
#include <memory>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class LinkDialog : public QDialog {
    Q_OBJECT
public:
    /// The dialog over `transport`, the MQTT client when null.
    explicit LinkDialog(std::unique_ptr<plc::LinkTransport> transport = nullptr,
                        QWidget* parent = nullptr);
    ~LinkDialog() override;

    /// Returns the exchange a simulation with the link uses for its transfers.
    plc::LinkExchange& exchange() { return *m_exchange; }
    /// Returns the item names as the edit boxes hold them now (UTF-8).
    plc::LinkItems itemNames() const;

    void Button1Click();  ///< "Połącz"
    void Button2Click();  ///< "OK"
    void Button3Click();  ///< "Koniec"
    /// The end of a simulation with the link: the connection closes and OK is disabled.
    void closeDdeLink();

private:
    std::unique_ptr<plc::LinkTransport> m_transport;
    std::unique_ptr<plc::LinkExchange> m_exchange;
    QLineEdit* m_service = nullptr;
    QLineEdit* m_topic = nullptr;
    std::array<QLineEdit*, 6> m_items{};
    QLabel* m_status = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_end = nullptr;
};
