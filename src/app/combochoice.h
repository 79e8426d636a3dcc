#pragma once
// A combo's "chosen" event: runs when its current entry changes (from code, the
// keyboard or the popup) and also when the user picks the entry that is already
// current, which QComboBox reports only as `activated`. One gesture runs the
// handler once: a pick that changes the entry raises both signals, and the
// second is skipped by a mark that lasts until control returns to the event loop.
#include <QComboBox>
#include <QTimer>
#include <memory>

template <typename Handler>
void connectChoice(QComboBox* combo, QObject* context, Handler handler) {
    auto changedInThisTurn = std::make_shared<bool>(false);
    QObject::connect(combo, qOverload<int>(&QComboBox::currentIndexChanged), context,
                     [changedInThisTurn, context, handler] {
                         *changedInThisTurn = true;
                         QTimer::singleShot(0, context, [changedInThisTurn] { *changedInThisTurn = false; });
                         handler();
                     });
    QObject::connect(combo, &QComboBox::activated, context, [changedInThisTurn, handler] {
        const bool handled = *changedInThisTurn;
        *changedInThisTurn = false;
        if (!handled) handler();
    });
}
