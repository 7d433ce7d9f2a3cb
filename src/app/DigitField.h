#pragma once
// The size fields' editor: a person can put only digits into it. Typed characters are
// filtered one at a time (digits and backspace pass, every other character and the paste
// shortcuts are dropped); the other ways text gets into a line edit (its context menu, the
// middle-button paste of the X selection, drops, an input method's committed text) are
// refused. A combo box hands keys, input-method text and its context menu to its editor's
// handlers directly, past any event filter on the editor, so the filter lives in the
// handlers: it holds for a standalone field and for an editable combo box's editor alike.

#include <QLineEdit>

namespace quarbel::app {

class DigitField : public QLineEdit {
    Q_OBJECT

public:
    enum class Limit {
        None,
        Hundred,  // no character passes while the text reads as a number above 100
    };

    explicit DigitField(Limit limit, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Whether a typed key gets through to the text (navigation and editing keys that type
    // no character always do).
    bool takes(const QKeyEvent& key) const;
    bool takesCharacters(const QString& text) const;

    Limit m_limit;
};

}  // namespace quarbel::app
