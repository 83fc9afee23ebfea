#include "panel/panelaccessibility.h"

#include "panel/displayline.h"
#include "panel/logoimage.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QRadioButton>
#include <QResizeEvent>

#include <algorithm>

namespace qpv {

namespace {

// Marks the window and the controls whose interfaces are the panel's own, with their kind.
constexpr char kPanelControl[] = "qpvAccessiblePanel";

// Offsets clamped to a text of `size` characters; -1 as the end is the end of the text.
std::pair<int, int> range(int size, int start, int end)
{
    const int from = std::clamp(start, 0, size);
    const int to = end < 0 ? size : std::clamp(end, from, size);
    return {from, to};
}

// The characters from `start` up to `end` (exclusive), as range() clamps them.
QString slice(const QString& text, int start, int end)
{
    const auto [from, to] = range(static_cast<int>(text.size()), start, end);
    return text.mid(from, to - from);
}

// Where character `offset` of `text` is drawn in `area` of `widget`, on the screen: from the
// area's left edge, centred vertically, in the widget's font.
QRect glyphRect(const QWidget* widget, QRect area, const QString& text, int offset)
{
    if (offset < 0 || offset >= text.size())
        return {};
    const QFontMetrics metrics(widget->font());
    const QRect glyph(area.left() + metrics.horizontalAdvance(text.left(offset)),
                      area.top() + (area.height() - metrics.height()) / 2,
                      metrics.horizontalAdvance(text.at(offset)), metrics.height());
    return QRect(widget->mapToGlobal(glyph.topLeft()), glyph.size());
}

// Every interface of the panel: a control that its window's size mode cuts off is not showing.
class ControlAccessible : public QAccessibleWidget {
public:
    ControlAccessible(QWidget* widget, QAccessible::Role role)
        : QAccessibleWidget(widget, role)
    {
    }

    // The name the table gives the control (the command buttons' group and caption), or else
    // its caption, which follows the data-display toggle's changes.
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || widget()->isWindow())
            return QAccessibleWidget::text(t);
        const QString name = widget()->accessibleName();
        return name.isEmpty() ? widget()->property("text").toString() : name;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const QWidget* w = widget();
        if (!state.invisible && !isInView(w, w->window()->size()))
            state.offscreen = true;
        return state;
    }
};

// Command buttons, SEND, CLS, COM, END, the data-display toggle, and the port and speed
// options. Pressed, they act after the bridge has had its answer: a press may open a message
// box or end the program.
class ButtonAccessible : public ControlAccessible {
public:
    explicit ButtonAccessible(QAbstractButton* button)
        : ControlAccessible(button, qobject_cast<QRadioButton*>(button) ? QAccessible::RadioButton
                                                                        : QAccessible::PushButton)
    {
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = ControlAccessible::state();
        if (button()->isCheckable())
            state.checkable = true;
        if (button()->isChecked())
            state.checked = true;
        if (button()->isDown())
            state.pressed = true;
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names;
        if (button()->isEnabled()) {
            names << pressAction();
            if (isOption())
                names << toggleAction();
        }
        return names + ControlAccessible::actionNames();
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction() || (isOption() && action == toggleAction())) {
            // Exactly what a click does, once per press; a hidden control cannot be clicked.
            QAbstractButton* target = button();
            if (target->isVisible())
                QMetaObject::invokeMethod(target, &QAbstractButton::click, Qt::QueuedConnection);
            return;
        }
        ControlAccessible::doAction(action);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(object()); }
    bool isOption() const { return role() == QAccessible::RadioButton; }
};

// The traffic lines TXD, RXD and STATUS: their whole text, exactly as held, is their name and
// their text; what they are comes from the caption beside them.
class LineAccessible : public ControlAccessible, public QAccessibleTextInterface {
public:
    explicit LineAccessible(DisplayLine* line)
        : ControlAccessible(line, QAccessible::StaticText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return ControlAccessible::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return fullText();
        return ControlAccessible::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = ControlAccessible::state();
        state.readOnly = true;
        return state;
    }

    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override
    {
        return slice(fullText(), startOffset, endOffset);
    }
    int characterCount() const override { return static_cast<int>(fullText().size()); }

    QRect characterRect(int offset) const override
    {
        // As the line paints: from two pixels inside its frame.
        return glyphRect(line(), line()->contentsRect().adjusted(2, 0, 0, 0), line()->visibleText(),
                         offset);
    }

    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = line()->mapFromGlobal(point);
        const QString shown = line()->visibleText();
        const QFontMetrics metrics(line()->font());
        int right = line()->contentsRect().left() + 2;
        if (!line()->contentsRect().contains(local) || local.x() < right)
            return -1;
        for (int i = 0; i < shown.size(); ++i) {
            right += metrics.horizontalAdvance(shown.at(i));
            if (local.x() < right)
                return i;
        }
        return -1;
    }

    void scrollToSubstring(int, int) override {}

    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    DisplayLine* line() const { return static_cast<DisplayLine*>(object()); }
    QString fullText() const
    {
        const std::string& text = line()->text();
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
};

// The free-text entry box: its text read and edited as typing would.
class EntryAccessible : public ControlAccessible,
                        public QAccessibleTextInterface,
                        public QAccessibleEditableTextInterface {
public:
    explicit EntryAccessible(QLineEdit* box)
        : ControlAccessible(box, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return ControlAccessible::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->text();
        return ControlAccessible::text(t);
    }

    void setText(QAccessible::Text t, const QString& text) override
    {
        if (t == QAccessible::Value) {
            box()->setText(text);
            return;
        }
        ControlAccessible::setText(t, text);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = ControlAccessible::state();
        state.editable = true; // the panel never makes the box read-only
        return state;
    }

    void selection(int selectionIndex, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
        if (selectionIndex == 0 && box()->hasSelectedText()) {
            *startOffset = box()->selectionStart();
            *endOffset = box()->selectionEnd();
        }
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override
    {
        setSelection(0, startOffset, endOffset);
    }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            box()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex != 0)
            return;
        const auto [from, to] = range(startOffset, endOffset);
        box()->setSelection(from, to - from);
    }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        return slice(box()->text(), startOffset, endOffset);
    }
    int characterCount() const override { return static_cast<int>(box()->text().size()); }

    QRect characterRect(int offset) const override
    {
        // Measured from the start of the text as the box lays it out when not scrolled.
        const QRect area = box()->contentsRect().marginsRemoved(box()->textMargins());
        return glyphRect(box(), area.adjusted(2, 0, 0, 0), box()->text(), offset);
    }

    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = box()->mapFromGlobal(point);
        return box()->rect().contains(local) ? box()->cursorPositionAt(local) : -1;
    }

    void scrollToSubstring(int startIndex, int endIndex) override
    {
        box()->setCursorPosition(endIndex);
        box()->setCursorPosition(startIndex);
    }

    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    void deleteText(int startOffset, int endOffset) override
    {
        const auto [from, to] = range(startOffset, endOffset);
        if (from == to)
            return;
        box()->setSelection(from, to - from);
        box()->del();
    }

    void insertText(int offset, const QString& text) override
    {
        box()->setCursorPosition(range(offset, offset).first);
        box()->insert(text);
    }

    void replaceText(int startOffset, int endOffset, const QString& text) override
    {
        const auto [from, to] = range(startOffset, endOffset);
        if (from == to)
            box()->setCursorPosition(from);
        else
            box()->setSelection(from, to - from);
        box()->insert(text); // replaces the selection
    }

private:
    QLineEdit* box() const { return static_cast<QLineEdit*>(object()); }
    std::pair<int, int> range(int startOffset, int endOffset) const
    {
        return qpv::range(characterCount(), startOffset, endOffset);
    }
};

// Captions: "POWER", "TXD", "CMD". A caption beside a control it names (its buddy) labels it.
class LabelAccessible : public ControlAccessible {
public:
    explicit LabelAccessible(QLabel* label)
        : ControlAccessible(label, QAccessible::StaticText)
    {
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = ControlAccessible::relations(match);
        if (match & QAccessible::Labelled) {
            if (QWidget* buddy = label()->buddy()) {
                if (QAccessibleInterface* named = QAccessible::queryAccessibleInterface(buddy))
                    found.append({named, QAccessible::Labelled});
            }
        }
        return found;
    }

private:
    QLabel* label() const { return static_cast<QLabel*>(object()); }
};

// The logo: its press is the double-click that opens the whole panel (after Ctrl+J).
class LogoAccessible : public ControlAccessible {
public:
    explicit LogoAccessible(LogoImage* logo)
        : ControlAccessible(logo, QAccessible::Graphic)
    {
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action != pressAction())
            return;
        QWidget* logo = widget();
        if (!logo->isVisible())
            return;
        const auto doubleClick = [logo] {
            const QPointF centre = QRectF(logo->rect()).center();
            QMouseEvent event(QEvent::MouseButtonDblClick, centre, logo->mapToGlobal(centre),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(logo, &event);
        };
        QMetaObject::invokeMethod(logo, doubleClick, Qt::QueuedConnection);
    }
};

// The interface for each kind of control of the table, and for the window.
QAccessibleInterface* panelInterface(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    const QVariant kind = widget ? widget->property(kPanelControl) : QVariant();
    if (!kind.isValid())
        return nullptr;
    if (widget->isWindow())
        return new ControlAccessible(widget, QAccessible::Window);
    switch (static_cast<ControlKind>(kind.toInt())) {
    case ControlKind::Line:
        return new LineAccessible(static_cast<DisplayLine*>(widget));
    case ControlKind::Button:
    case ControlKind::Option:
        return new ButtonAccessible(static_cast<QAbstractButton*>(widget));
    case ControlKind::TextBox:
        return new EntryAccessible(static_cast<QLineEdit*>(widget));
    case ControlKind::Label:
        return new LabelAccessible(static_cast<QLabel*>(widget));
    case ControlKind::Image:
        return new LogoAccessible(static_cast<LogoImage*>(widget));
    case ControlKind::Group:
        break;
    }
    return new ControlAccessible(widget, QAccessible::Grouping);
}

// A change of the window's size mode brings controls into view or cuts them off: each one
// that changed is announced as shown or hidden.
class ViewWatcher : public QObject {
public:
    ViewWatcher(QWidget* window, const QList<QWidget*>& controls)
        : QObject(window)
        , m_window(window)
    {
        m_controls.reserve(controls.size());
        for (QWidget* control : controls)
            m_controls.append(control);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Resize && QAccessible::isActive()) {
            const auto* resize = static_cast<const QResizeEvent*>(event);
            if (resize->oldSize().isValid() && resize->oldSize() != resize->size())
                announce(resize->oldSize(), resize->size());
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void announce(QSize before, QSize after) const
    {
        for (const QPointer<QWidget>& control : m_controls) {
            if (!control || !control->isVisible())
                continue;
            const bool shown = isInView(control, after);
            if (shown == isInView(control, before))
                continue;
            QAccessibleEvent event(control.data(),
                                   shown ? QAccessible::ObjectShow : QAccessible::ObjectHide);
            QAccessible::updateAccessibility(&event);
        }
    }

    QObject* m_window;
    QList<QPointer<QWidget>> m_controls;
};

} // namespace

bool isInView(const QWidget* control, QSize windowSize)
{
    QPoint centre = control->rect().center();
    for (const QWidget* w = control; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        const QWidget* parent = w->parentWidget();
        centre = w->mapToParent(centre);
        const QRect area = parent->isWindow() ? QRect(QPoint(0, 0), windowSize) : parent->rect();
        if (!area.contains(centre))
            return false;
    }
    return true;
}

void prepareAccessibility(QWidget* window)
{
    QAccessible::installFactory(panelInterface);
    window->setProperty(kPanelControl, static_cast<int>(ControlKind::Group));
    // The title set before made the general interface of a window; it gives way to the
    // panel's, made when next asked for.
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window);
    if (iface && !dynamic_cast<ControlAccessible*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

void adoptControl(QWidget* control, ControlKind kind)
{
    control->setProperty(kPanelControl, static_cast<int>(kind));
}

void watchWindowModes(QWidget* window, const QList<QWidget*>& controls)
{
    new ViewWatcher(window, controls);
}

} // namespace qpv
