// The panel as a screen reader meets it, in process: names, states, text read back and what
// actions put on the line. The offscreen platform has no bridge to carry announcements;
// tst_a11y_e2e hears them through AT-SPI.

#include "support.h"

#include <QAccessible>

class TestA11yPanel : public QObject {
    Q_OBJECT

    auto* ax(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
    bool shown(QObject* o) { return !(ax(o)->state().invisible | ax(o)->state().offscreen); }
    // As a screen reader presses; the event loop then runs the click the press queued.
    void press(QObject* o) { ax(o)->actionInterface()->doAction("Press"), qApp->processEvents(); }

private slots:
    void aScreenReaderWorksThePanel()
    {
        Panel panel;
        // In the order the window modes bring them into view; the settings panel stays hidden.
        const QStringList bands = {"Command17", "Image1",   "Label22", "Command34",
                                   "Command44", "Command9", "Text1",   "Frame8"};
        const auto inView = [&](int n) {
            for (int c = 0; c < bands.size(); ++c)
                QVERIFY2(shown(panel.find(qPrintable(bands[c]))) == (c < n), qPrintable(bands[c]));
        };
        press(panel.find("Command34")); // hidden until Ctrl+J: a press does nothing
        inView(2);
        QTest::keyClick(panel.find("Command17"), Qt::Key_J, Qt::ControlModifier);
        inView(5);
        QTest::mouseDClick(panel.find("Image1"), Qt::LeftButton);
        inView(7);

        QStringList told; // "control: name", and what a command button sends
        QSet<QString> commands;
        for (QWidget* w : panel.form->findChildren<QWidget*>()) {
            // A traffic line's name is its text; the caption labelling it says what it is.
            const auto labels = ax(w)->relations(QAccessible::Label);
            const auto name = (labels.isEmpty() ? ax(w) : labels[0].first)->text(QAccessible::Name);
            told << w->objectName() + ": " + name;
            QVERIFY2(!name.trimmed().isEmpty(), qPrintable(told.last()));
            if (ax(w)->role() != QAccessible::PushButton ||
                QStringList{"COM", "END", "SEND", "CLS", "CLOSE"}.contains(name))
                continue;
            QTest::mouseClick(w, Qt::LeftButton);
            press(w);
            const QByteArray both = panel.one.read(64, std::chrono::milliseconds(50));
            // The press sent what the click sent, and only that.
            QCOMPARE(both, both.left(both.size() / 2).repeated(2));
            told.last() += " sends " + both.left(both.size() / 2);
            commands << name;
        }
        QCOMPARE(told.size(), 122);
        QCOMPARE(commands.size(), 75);
        for (const char* promised :
             {"Command17: POWER ON sends POWR   1\r", "Command9: VOLUME 35 sends VOLA  35\r",
              "Command80: Picture row 3 D by D sends CF INPUT3 ANALOG\r", "Text1: CMD",
              "Label22: STATUS", "Frame8: COM settings", "Image1: OMTA logo"})
            QVERIFY2(told.contains(promised), promised);

        press(panel.find("Command33"));
        press(panel.find("Option9"));
        QVERIFY(ax(panel.find("Option9"))->state().checked);
        ax(panel.find("Text1"))->editableTextInterface()->insertText(0, QStringLiteral("CR7"));
        press(panel.find("Command95"));
        QCOMPARE(panel.one.read(4), QByteArray("CR7\r"));
        press(panel.find("Command96"));
        QCOMPARE(ax(panel.find("Text1"))->text(QAccessible::Value), QString());

        // A line at its longest, with what rich text would take for markup, and beyond ASCII.
        const auto text = QStringLiteral(" <b>&amp;</b> /dev/ttyÜSB0").repeated(2622).left(65535);
        for (const char* line : {"Label11", "Label12", "Label22"}) {
            panel.find<qpv::DisplayLine>(line)->setText(text.toStdString());
            QAccessibleInterface* i = ax(panel.find(line));
            QCOMPARE((QStringList{i->text(QAccessible::Name), i->text(QAccessible::Value),
                                  i->textInterface()->text(0, -1)}),
                     QStringList(3, text));
        }
    }
};

QTEST_MAIN(TestA11yPanel)
#include "tst_a11y_panel.moc"
