#pragma once
// Gives a scroll area's own scroll bars a value model and Scroll and Change events, drawn flat
// where the style allows it. Minimum, maximum, value and large change live in the bars (see
// ScrollInfo: the largest value is the range maximum less the page); small change, style,
// orientation and the visible and enabled flags live here.
//
// The bars' actions reach IMessageHook_WindowProc as scroll messages 276 (horizontal) and
// 277 (vertical); each request sets the value and reports it. Reporting raises Scroll (a
// thumb being dragged) or Change (anything else) only when the value differs from the one
// last reported for that bar. A value change that comes from elsewhere (a wheel turn, the
// area itself) is reported as a Change too.
//
// Detaching (Create on another area, or destroying this) gives the area's bars back as they
// were: their style's look, shown and enabled as before.

#include "scrollbars/MessageHook.h"
#include "scrollbars/ScrollBarTypes.h"

#include <QAbstractScrollArea>
#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

namespace quarbel {

class FlatScrollBarPainter;

class cScrollBars : public QObject, public IMessageHook {
    Q_OBJECT
public:
    explicit cScrollBars(QObject* parent = nullptr);
    ~cScrollBars() override;

    // Detaches from the current area, then attaches to hWndA (nullptr only detaches).
    void Create(QAbstractScrollArea* hWndA);
    bool attached() const { return m_attached; }
    QAbstractScrollArea* area() const { return m_hWnd; }

    eOrientation Orientation() const { return m_orientation; }
    void setOrientation(eOrientation orientation);
    eStyle Style() const { return m_style; }
    // Ignored for anything but Regular when the bars cannot be flat.
    void setStyle(eStyle style);
    bool CanBeFlat() const { return !m_standardMode; }

    bool Visible(eBar bar) const { return m_visible[index(bar)]; }
    void setVisible(eBar bar, bool bState);
    bool Enabled(eBar bar) const { return m_enabled[index(bar)]; }
    void setEnabled(eBar bar, bool bEnabled);
    int SmallChange(eBar bar) const { return m_smallChange[index(bar)]; }
    void setSmallChange(eBar bar, int lSmallChange);

    // These read and write the attached area's bar; without one they read 0 and write nothing.
    int Min(eBar bar) const;
    void setMin(eBar bar, int iMin);
    int Max(eBar bar) const;
    void setMax(eBar bar, int iMax);
    int Value(eBar bar) const;
    void setValue(eBar bar, int iValue);
    int LargeChange(eBar bar) const;
    void setLargeChange(eBar bar, int iLargeChange);

    int IMessageHook_MsgResponse(QAbstractScrollArea* hWnd, int iMsg) override;
    void IMessageHook_WindowProc(QAbstractScrollArea* hWnd, int iMsg, std::uint64_t wParam,
                                 std::int64_t lParam, std::int64_t& result) override;

signals:
    void Scroll(quarbel::eBar bar);
    void Change(quarbel::eBar bar);

private:
    enum class Report { Scroll, Change };
    static int index(eBar bar) { return bar == eBar::Horizontal ? 0 : 1; }
    QScrollBar* scrollBar(eBar bar) const;
    void detach();
    void applyStyle();
    void showBar(eBar bar, bool show);
    void writePosition(eBar bar, int value);
    void report(eBar bar, Report kind);

    QPointer<QAbstractScrollArea> m_hWnd;
    bool m_attached = false;
    bool m_standardMode = false;
    eOrientation m_orientation = eOrientation::Both;
    eStyle m_style = eStyle::Regular;
    std::array<int, 2> m_smallChange{1, 1};
    std::array<bool, 2> m_enabled{true, true};
    std::array<bool, 2> m_visible{true, true};
    std::array<int, 2> m_lastValue{0, 0};
    bool m_tracking = false;  // a thumb-track request is writing the value

    // How the area's bars were before attaching, given back on detaching.
    std::array<Qt::ScrollBarPolicy, 2> m_savedPolicy{};
    std::array<bool, 2> m_savedEnabled{};
    std::array<int, 2> m_savedSingleStep{};

    MessageHook m_hook;
    std::array<std::unique_ptr<FlatScrollBarPainter>, 2> m_painters;
    std::array<QMetaObject::Connection, 2> m_valueWatch;
    QMetaObject::Connection m_destroyWatch;
};

}  // namespace quarbel
