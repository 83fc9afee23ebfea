#include "panel/panelaccessibility.h"

#include "panel/displayline.h"
#include "panel/logoimage.h"
#include "panel/qtext.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QRadioButton>

#include <algorithm>

namespace qpv {

namespace {

// Marks the controls of the panel.
constexpr char kPanelControl[] = "qpvPanelControl";

// A press that clicks, queued: the bridge has its answer before a message box opens or the
// program ends. Qt's own presses a control that is hidden, and toggles an option without the
// click that runs its port or speed choice.
class ButtonAccessible : public QAccessibleWidget {
public:
    explicit ButtonAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, qobject_cast<QRadioButton*>(button) ? QAccessible::RadioButton
                                                                        : QAccessible::Button)
    {
    }

    // The name the table gives (a command button's group and caption), or else the caption,
    // which follows the data-display toggle's changes.
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && button()->accessibleName().isEmpty())
            return button()->text();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = button()->isCheckable();
        state.checked = button()->isChecked();
        state.pressed = button()->isDown();
        return state;
    }

    QStringList actionNames() const override
    {
        if (!button()->isVisible())
            return {};
        if (role() == QAccessible::RadioButton)
            return {pressAction(), toggleAction()};
        return {pressAction()};
    }

    void doAction(const QString& action) override
    {
        if (actionNames().contains(action))
            QMetaObject::invokeMethod(button(), &QAbstractButton::click, Qt::QueuedConnection);
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(object()); }
};

// A traffic line: its whole text, exactly as held, is its name, its value and its text.
class LineAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LineAccessible(DisplayLine* line)
        : QAccessibleWidget(line, QAccessible::StaticText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return fullText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}

    QString text(int startOffset, int endOffset) const override
    {
        const QString all = fullText();
        const auto from = std::clamp<qsizetype>(startOffset, 0, all.size());
        const auto to =
            endOffset < 0 ? all.size() : std::clamp<qsizetype>(endOffset, from, all.size());
        return all.mid(from, to - from);
    }
    int characterCount() const override { return static_cast<int>(fullText().size()); }

    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // As the line paints: from two pixels inside its frame, centred vertically.
    QRect characterRect(int offset) const override
    {
        const QString shown = line()->visibleText();
        if (offset < 0 || offset >= shown.size())
            return {};
        const QFontMetrics metrics(line()->font());
        const QRect area = textArea();
        const QRect glyph(area.left() + metrics.horizontalAdvance(shown.left(offset)),
                          area.top() + (area.height() - metrics.height()) / 2,
                          metrics.horizontalAdvance(shown.at(offset)), metrics.height());
        return QRect(line()->mapToGlobal(glyph.topLeft()), glyph.size());
    }

    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = line()->mapFromGlobal(point);
        const QString shown = line()->visibleText();
        const QFontMetrics metrics(line()->font());
        int right = textArea().left();
        if (!line()->contentsRect().contains(local) || local.x() < right)
            return -1;
        for (int i = 0; i < shown.size(); ++i) {
            right += metrics.horizontalAdvance(shown.at(i));
            if (local.x() < right)
                return i;
        }
        return -1;
    }

private:
    DisplayLine* line() const { return static_cast<DisplayLine*>(object()); }
    QRect textArea() const { return line()->contentsRect().adjusted(2, 0, 0, 0); }
    QString fullText() const { return toQString(line()->text()); }
};

// The logo: its press is the double-click that opens the whole panel (after Ctrl+J).
class LogoAccessible : public QAccessibleWidget {
public:
    explicit LogoAccessible(LogoImage* logo)
        : QAccessibleWidget(logo, QAccessible::Graphic)
    {
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString& action) override
    {
        QWidget* logo = widget();
        if (action != pressAction() || !logo->isVisible())
            return;
        QMetaObject::invokeMethod(
            logo,
            [logo] {
                const QPointF centre = QRectF(logo->rect()).center();
                QMouseEvent event(QEvent::MouseButtonDblClick, centre, logo->mapToGlobal(centre),
                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(logo, &event);
            },
            Qt::QueuedConnection);
    }
};

QAccessibleInterface* panelInterface(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || !widget->property(kPanelControl).toBool())
        return nullptr;
    if (widget->isWindow())
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (auto* line = qobject_cast<DisplayLine*>(widget))
        return new LineAccessible(line);
    if (auto* logo = qobject_cast<LogoImage*>(widget))
        return new LogoAccessible(logo);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return new ButtonAccessible(button);
    if (widget->metaObject() == &QFrame::staticMetaObject)
        return new QAccessibleWidget(widget, QAccessible::Grouping);
    return nullptr;
}

} // namespace

void prepareAccessibility(QWidget* window)
{
    QAccessible::installFactory(panelInterface);
    adoptControl(window);
}

void adoptControl(QWidget* control)
{
    control->setProperty(kPanelControl, true);
}

} // namespace qpv
