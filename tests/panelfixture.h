#pragma once

#include "messageboxwatcher.h"
#include "panel/displayline.h"
#include "panel/form1.h"
#include "ptypair.h"
#include "serial/mscomm.h"

#include <QPushButton>
#include <QTimer>

#include <memory>

// The real window on two pseudo-terminals (COM1, COM2), loaded and shown offscreen.
struct PanelFixture {
    explicit PanelFixture(const QString& com1 = {}, const QString& com2 = {})
    {
        qpv::PortMap ports;
        ports.setDevice(1, com1.isEmpty() ? one.path() : com1);
        ports.setDevice(2, com2.isEmpty() ? two.path() : com2);
        form = std::make_unique<qpv::Form1>(ports);
        form->Form_Load();
        form->show();
    }

    template <typename T = QWidget> T* find(const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }

    // The command button a screen reader would name so ("POWER ON", "Picture row 3 D by D").
    QPushButton* button(const QString& accessibleName) const
    {
        for (QPushButton* b : form->findChildren<QPushButton*>()) {
            if (b->accessibleName() == accessibleName)
                return b;
        }
        return nullptr;
    }

    QByteArray line(const char* name) const
    {
        const std::string& text = find<qpv::DisplayLine>(name)->text();
        return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
    }
    QTimer* timer(const char* name) const { return find<QTimer>(name); }

    MessageBoxWatcher boxes;
    PtyPair one;
    PtyPair two;
    std::unique_ptr<qpv::Form1> form;
};
