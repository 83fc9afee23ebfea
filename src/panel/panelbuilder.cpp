#include "panel/panelbuilder.h"

#include "panel/captionbutton.h"
#include "panel/displayline.h"
#include "panel/logoimage.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <limits>
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

QWidget* makeWidget(const Control& c, QWidget* parent)
{
    switch (c.kind) {
    case ControlKind::Group: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
        return frame;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(text(c.caption), parent);
        label->setTextFormat(Qt::PlainText);
        Qt::Alignment align = Qt::AlignLeft;
        if (c.flags & kCentred)
            align = Qt::AlignHCenter;
        if (c.flags & kRightAligned)
            align = Qt::AlignRight;
        label->setAlignment(align | Qt::AlignTop);
        return label;
    }
    case ControlKind::Line:
        return new DisplayLine(parent);
    case ControlKind::Button: {
        auto* button = new CaptionButton(text(c.caption), parent);
        button->setAutoDefault(true); // Enter presses the focused button, as space does
        return button;
    }
    case ControlKind::Option: {
        auto* option = new QRadioButton(text(c.caption), parent);
        option->setChecked(c.flags & kSelected);
        return option;
    }
    case ControlKind::TextBox: {
        auto* box = new QLineEdit(parent);
        box->setMaxLength(std::numeric_limits<int>::max()); // no length limit
        return box;
    }
    case ControlKind::Image:
        return new LogoImage(parent);
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
    QHash<QString, QWidget*> controls;
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
    }

    std::sort(focusChain.begin(), focusChain.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < focusChain.size(); ++i)
        QWidget::setTabOrder(focusChain[i - 1].second, focusChain[i].second);
    return controls;
}

} // namespace qpv
