#include "panel/panelbuilder.h"

#include "catalogue/clickpath.h"
#include "panel/captionbutton.h"
#include "panel/displayline.h"
#include "panel/logoimage.h"
#include "panel/panelaccessibility.h"
#include "panel/qtext.h"

#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <limits>
#include <string_view>
#include <utility>
#include <vector>

namespace qpv {

namespace {

QColor rgb(std::uint32_t colour)
{
    return QColor::fromRgb(colour);
}

qsizetype index(std::size_t i)
{
    return static_cast<qsizetype>(i);
}

// Each control is adopted for accessibility before its caption is set.
QWidget* makeWidget(const Control& c, QWidget* parent)
{
    switch (c.kind) {
    case ControlKind::Group: {
        auto* frame = new QFrame(parent);
        adoptControl(frame);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        return frame;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(parent);
        adoptControl(label);
        label->setTextFormat(Qt::PlainText);
        label->setText(toQString(c.caption));
        Qt::Alignment align = Qt::AlignLeft;
        if (c.flags & kCentred)
            align = Qt::AlignHCenter;
        if (c.flags & kRightAligned)
            align = Qt::AlignRight;
        label->setAlignment(align | Qt::AlignTop);
        return label;
    }
    case ControlKind::Line: {
        auto* line = new DisplayLine(parent);
        adoptControl(line);
        return line;
    }
    case ControlKind::Button: {
        auto* button = new CaptionButton(parent);
        adoptControl(button);
        button->setText(toQString(c.caption));
        button->setAutoDefault(true); // Enter presses the focused button, as space does
        return button;
    }
    case ControlKind::Option: {
        auto* option = new QRadioButton(parent);
        adoptControl(option);
        option->setText(toQString(c.caption));
        option->setChecked(c.flags & kSelected);
        return option;
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(parent);
        adoptControl(box);
        box->setMaxLength(std::numeric_limits<int>::max()); // no length limit
        return box;
    }
    case ControlKind::Image: {
        auto* logo = new LogoImage(parent);
        adoptControl(logo);
        return logo;
    }
    }
    return nullptr;
}

// The designed colours. A face that is the system's keeps the system's text colour with it, so
// that a dark desktop palette does not put black text on a dark face.
void colour(QWidget* w, const Control& c)
{
    if (c.back == kButtonFace)
        return;
    QPalette palette = w->palette();
    const QColor back = rgb(c.back);
    palette.setColor(QPalette::Window, back);
    palette.setColor(QPalette::Button, back);
    palette.setColor(QPalette::Base, back);
    palette.setColor(QPalette::Light, back.lighter(150));
    palette.setColor(QPalette::Dark, back.darker(160));
    palette.setColor(QPalette::Shadow, Qt::black);
    const QColor fore = rgb(c.fore);
    palette.setColor(QPalette::WindowText, fore);
    palette.setColor(QPalette::ButtonText, fore);
    palette.setColor(QPalette::Text, fore);
    w->setPalette(palette);
    if (c.kind != ControlKind::Button)
        w->setAutoFillBackground(true);
}

// The table refers to itself by name: each parent is a group built before its children, each
// caption that names a control is a label and names one of the table, and each command
// button of the catalogue is a button with the catalogue's caption.
constexpr bool tableHoldsTogether()
{
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Control& c = kControls[i];
        const std::size_t parent = findControl(c.parent);
        if (!c.parent.empty() && (parent >= i || kControls[parent].kind != ControlKind::Group))
            return false;
        if (!c.names.empty() &&
            (c.kind != ControlKind::Label || findControl(c.names) == kControls.size()))
            return false;
    }
    for (const CommandButton& button : kCommandButtons) {
        const std::size_t i = findControl(button.control);
        if (i == kControls.size() || kControls[i].kind != ControlKind::Button ||
            kControls[i].caption != button.caption)
            return false;
    }
    return true;
}
static_assert(tableHoldsTogether());

// The table's own words in the operator's language; the design's (group titles, captions)
// have no translation and stay as they are.
QString translated(std::string_view ours)
{
    return QCoreApplication::translate("Control", QByteArray(ours.data(), qsizetype(ours.size())));
}

// What a screen reader calls each control: a command button by its group and caption, a
// group by the table or else as its buttons' group is called, the others as the table says;
// a caption is the label of the control it names.
void describeForScreenReaders(const QList<QWidget*>& widgets)
{
    for (const CommandButton& button : kCommandButtons) {
        const std::size_t parent = findControl(kControls[findControl(button.control)].parent);
        if (parent < kControls.size() && kControls[parent].spokenName.empty())
            widgets[index(parent)]->setAccessibleName(toQString(button.group));
    }
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Control& c = kControls[i];
        if (!c.spokenName.empty())
            widgets[index(i)]->setAccessibleName(translated(c.spokenName));
        if (!c.description.empty())
            widgets[index(i)]->setAccessibleDescription(translated(c.description));
        if (!c.names.empty())
            static_cast<QLabel*>(widgets[index(i)])->setBuddy(widgets[index(findControl(c.names))]);
    }
    for (const CommandButton& button : kCommandButtons) {
        const std::size_t i = findControl(button.control);
        QString name = toQString(button.group);
        if (!name.isEmpty())
            name += QLatin1Char(' ');
        name += toQString(kControls[i].caption.empty() ? kCaptionlessColumn : kControls[i].caption);
        widgets[index(i)]->setAccessibleName(name);
    }
}

bool takesFocus(ControlKind kind)
{
    return kind == ControlKind::Button || kind == ControlKind::Option ||
           kind == ControlKind::TextBox;
}

} // namespace

QFont fontFor(const FontSpec& spec)
{
    const FontSpec& s = spec.face == Face::Window ? kWindowFont : spec;
    QFont font;
    if (s.face == Face::Gothic) {
        font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                          QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("VL Gothic"),
                          QStringLiteral("DejaVu Sans Mono")});
        font.setStyleHint(QFont::Monospace);
    } else {
        font.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAexGothic"),
                          QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                          QStringLiteral("DejaVu Sans")});
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPixelSize(static_cast<int>(s.centiPoints * 96 / 7200.0 + 0.5));
    font.setBold(s.bold);
    // Captions are Latin and Japanese: neither needs shaping, and without the font's own
    // hinting programs a caption's glyphs are drawn several times faster.
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QList<QWidget*> buildPanel(QWidget* window)
{
    QList<QWidget*> widgets;
    std::vector<std::pair<int, QWidget*>> focusChain;

    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const Control& c = kControls[i];
        QWidget* parent = c.parent.empty() ? window : widgets[index(findControl(c.parent))];
        QWidget* w = makeWidget(c, parent);
        w->setObjectName(toQString(c.name));
        w->setGeometry(twipsToPixels(c.place.left), twipsToPixels(c.place.top),
                       twipsToPixels(c.place.width), twipsToPixels(c.place.height));
        w->setFont(fontFor(c.font));
        colour(w, c);
        if (c.flags & kHidden)
            w->hide();
        // Labels and the logo are drawn on their container, beneath every button and box.
        if (c.kind == ControlKind::Label || c.kind == ControlKind::Image)
            w->lower();
        if (takesFocus(c.kind))
            focusChain.emplace_back(c.tabIndex, w);
        widgets.append(w);
    }

    std::sort(focusChain.begin(), focusChain.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusChain.size(); ++i)
        QWidget::setTabOrder(focusChain[i - 1].second, focusChain[i].second);

    describeForScreenReaders(widgets);
    return widgets;
}

} // namespace qpv
