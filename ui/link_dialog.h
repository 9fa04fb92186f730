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
    /// Returns the item names in use (UTF-8): what the edit boxes hold, except a name still being
    /// typed, which counts from Enter, from leaving its box, or from "OK" or "Połącz" on.
    plc::LinkItems itemNames() const { return m_names; }

    void Button1Click();  ///< "Połącz"
    void Button2Click();  ///< "OK"
    void Button3Click();  ///< "Koniec"
    /// The start of a simulation with the link: while it runs, the dialog changes only the item
    /// names, not the connection.
    void linkRunStarted();
    /// The end of a simulation with the link: the connection closes and OK is disabled.
    void closeDdeLink();

private:
    /// Takes every box's text as its item name.
    void takeItemNames();
    /// Enables the broker, the prefix and "Połącz" (no linked run) or not (a run is on).
    void setConnectionEditable(bool editable);

    std::unique_ptr<plc::LinkTransport> m_transport;
    std::unique_ptr<plc::LinkExchange> m_exchange;
    QLineEdit* m_service = nullptr;
    QLineEdit* m_topic = nullptr;
    std::array<QLineEdit*, 6> m_items{};
    plc::LinkItems m_names;  // the names in use
    QLabel* m_status = nullptr;
    QPushButton* m_connect = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_end = nullptr;
};
