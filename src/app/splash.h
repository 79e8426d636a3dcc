#pragma once
// The splash window frmBland: loads the main window on its first timer tick and
// hands over after the fifth, or at once when clicked.
#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

class SplashWindow : public QDialog {
    Q_OBJECT
public:
    // loadMain loads the main window (its load routine); showMain shows it.
    SplashWindow(std::function<void()> loadMain, std::function<void()> showMain, QWidget* parent = nullptr);
    int ticks() const { return m_ticks; }
    bool mainLoaded() const { return m_mainLoaded; }

    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* cmdCancel = nullptr;
    QTimer* Timer1 = nullptr;

    void Timer1_Timer();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ensureLoaded();
    std::function<void()> m_loadMain;
    std::function<void()> m_showMain;
    quint8 m_ticks = 0;
    bool m_mainLoaded = false;
    bool m_loading = false;
    bool m_handedOver = false;
};
