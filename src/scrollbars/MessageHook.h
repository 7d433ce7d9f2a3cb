#pragma once
// Delivers a scroll area's scroll messages to a handler, as a window-message hook would:
// each action of the area's horizontal bar arrives as message 276 and each of its vertical
// bar as 277, with the request code (ScrollRequest) in the first parameter's low word. The
// handler sees a request before the bar applies it, so what the handler writes is what the
// bar keeps. Releasing the mouse on a bar ends the scrolling (EndScroll; after a thumb drag
// ThumbPosition comes first). A move of the thumb that is no drag (a wheel turn) arrives as
// ThumbPosition, and the bar then takes the new value itself.

#include <QObject>
#include <QPointer>
#include <QScrollBar>
#include <cstdint>
#include <vector>

class QAbstractScrollArea;

namespace quarbel {

class IMessageHook {
public:
    virtual ~IMessageHook() = default;
    // How the handler wants the message; the hook asks once when it starts delivering it and
    // only delivers before the bar's own handling (1).
    virtual int IMessageHook_MsgResponse(QAbstractScrollArea* hWnd, int iMsg) = 0;
    virtual void IMessageHook_WindowProc(QAbstractScrollArea* hWnd, int iMsg, std::uint64_t wParam,
                                         std::int64_t lParam, std::int64_t& result) = 0;
};

class MessageHook : public QObject {
    Q_OBJECT
public:
    explicit MessageHook(IMessageHook& handler);
    ~MessageHook() override;

    // Starts delivering message 276 or 277 of the area; false for any other message, or a
    // handler that does not take messages before the bar.
    bool AttachMessage(QAbstractScrollArea* hWnd, int iMsg);
    void DetachMessage(QAbstractScrollArea* hWnd, int iMsg);
    void DetachAll();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Hooked {
        QPointer<QAbstractScrollArea> area;
        QPointer<QScrollBar> bar;
        int msg = 0;
        std::vector<QMetaObject::Connection> connections;
    };
    void deliver(const Hooked& hooked, int request);
    void onAction(const Hooked& hooked, int action);
    void release(Hooked& hooked);

    IMessageHook& m_handler;
    std::vector<Hooked> m_hooked;
};

}  // namespace quarbel
