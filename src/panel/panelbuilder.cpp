#include "panel/panelbuilder.h"

#include "panel/captionbutton.h"
#include "panel/displayline.h"
#include "panel/logoimage.h"
#include "panel/panelaccessibility.h"

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

QString text(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
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
        label->setText(text(c.caption));
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
        button->setText(text(c.caption));
        button->setAutoDefault(true); // Enter presses the focused button, as space does
        return button;
    }
    case ControlKind::Option: {
        auto* option = new QRadioButton(parent);
        adoptControl(option);
        option->setText(text(c.caption));
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

void colour(QWidget* w, const Control& c)
{
    QPalette palette = w->palette();
    if (c.back != kButtonFace) {
        const QColor back = rgb(c.back);
        palette.setColor(QPalette::Window, back);
        palette.setColor(QPalette::Button, back);
        palette.setColor(QPalette::Base, back);
        palette.setColor(QPalette::Light, back.lighter(150));
        palette.setColor(QPalette::Dark, back.darker(160));
        palette.setColor(QPalette::Shadow, Qt::black);
    }
    const QColor fore = rgb(c.fore);
    palette.setColor(QPalette::WindowText, fore);
    palette.setColor(QPalette::ButtonText, fore);
    palette.setColor(QPalette::Text, fore);
    w->setPalette(palette);
    if (c.kind != ControlKind::Button && c.back != kButtonFace)
        w->setAutoFillBackground(true);
}

// What a screen reader calls the controls without a caption of their own, and what it says of
// the controls whose caption alone does not tell what they do. The command buttons are named
// by the window (group and caption); the captions name the rest.
struct Spoken {
    std::string_view control;
    std::string_view name;
    std::string_view description;
};

constexpr Spoken kSpoken[] = {
    {"Frame1", "POWER", ""},
    {"Frame2", "INPUT MODE SET", ""},
    {"Frame3", "Inside SP", ""},
    {"Frame4", "AV MUTE", ""},
    {"Frame5", "IRIS", ""},
    {"Frame6", "OSD", ""},
    {"Frame7", "FREEZE", ""},
    {"Frame8", "COM settings", "The port and its speed; closes after a choice"},
    {"Frame13", "Speed", ""},
    {"Frame9", "Traffic", "What was sent, what came back, and the decoded status"},
    {"Frame10", "VOLUME", ""},
    {"Frame14", "Picture", "Picture modes in four rows"},
    {"Frame15", "CMD", "Free-text command"},
    {"Image1", "OMTA logo", "Double-click after Ctrl+J to show the whole panel"},
    {"Label11", "", "TXD: the command sent, each character made visible"},
    {"Label12", "", "RXD: the reply received, each character made visible"},
    {"Label22", "", "STATUS: the decoded reply"},
    {"Text1", "CMD", "Free-text command, sent unchanged with SEND"},
    {"Command95", "", "Sends the CMD text"},
    {"Command96", "", "Empties the CMD text"},
    {"Command33", "", "Opens the port and speed settings"},
    {"Command16", "", "Closes the port and ends the program"},
    {"Command34", "", "Shows or hides the traffic display"},
};

// A caption and the control it names beside it.
constexpr std::pair<std::string_view, std::string_view> kCaptionFor[] = {
    {"Label9", "Label11"},  // TXD
    {"Label10", "Label12"}, // RXD
    {"Label23", "Label22"}, // STATUS
    {"Label26", "Text1"},   // CMD
};

void describeForScreenReaders(const QHash<QString, QWidget*>& controls)
{
    for (const Spoken& spoken : kSpoken) {
        QWidget* w = controls.value(text(spoken.control));
        Q_ASSERT(w);
        if (!spoken.name.empty())
            w->setAccessibleName(text(spoken.name));
        if (!spoken.description.empty())
            w->setAccessibleDescription(text(spoken.description));
    }
    for (const auto& [caption, control] : kCaptionFor) {
        auto* label = qobject_cast<QLabel*>(controls.value(text(caption)));
        Q_ASSERT(label);
        label->setBuddy(controls.value(text(control)));
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

QHash<QString, QWidget*> buildPanel(QWidget* window)
{
    prepareAccessibility(window);
    QHash<QString, QWidget*> controls;
    QList<QWidget*> built;
    std::vector<std::pair<int, QWidget*>> focusChain;

    for (const Control& c : controlTable()) {
        QWidget* parent = c.parent.empty() ? window : controls.value(text(c.parent));
        Q_ASSERT(parent);
        QWidget* w = makeWidget(c, parent);
        w->setObjectName(text(c.name));
        w->setGeometry(twipsToPixels(c.left), twipsToPixels(c.top), twipsToPixels(c.width),
                       twipsToPixels(c.height));
        w->setFont(fontFor(c.font));
        colour(w, c);
        if (c.flags & kHidden)
            w->hide();
        // Labels and the logo are drawn on their container, beneath every button and box.
        if (c.kind == ControlKind::Label || c.kind == ControlKind::Image)
            w->lower();
        if (takesFocus(c.kind))
            focusChain.emplace_back(c.tabIndex, w);
        controls.insert(w->objectName(), w);
        built.append(w);
    }

    std::sort(focusChain.begin(), focusChain.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusChain.size(); ++i)
        QWidget::setTabOrder(focusChain[i - 1].second, focusChain[i].second);

    describeForScreenReaders(controls);
    watchWindowModes(window, built);
    return controls;
}

} // namespace qpv
