#pragma once
// The about window frmCopyRight: version, developer, the product web page, and
// a timer that closes the window by itself after 21 seconds.
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

class AboutWindow : public QDialog {
    Q_OBJECT
public:
    // `shellOpen` opens the web page when its label is clicked.
    explicit AboutWindow(std::function<void(const QString&)> shellOpen, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* lblProduct = nullptr;
    QLabel* lblAppTitle = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label9 = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* Timer1 = nullptr;

    // "版本 V" + major.minor.revision of the program.
    static QString versionText();
    // Seconds the window has been open (timer ticks since it was loaded).
    qint16 ticks() const { return m_ticks; }

    void Form_Load();
    void Timer1_Timer();
    void Label9_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(const QString&)> m_shellOpen;
    qint16 m_ticks = 0;
    bool m_loaded = false;
};
