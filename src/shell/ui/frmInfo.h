#pragma once
// The info window: program name and version, who commissioned the program and who wrote it.

#include <QDialog>

namespace kalvora::ui {

class frmInfo : public QDialog {
    Q_OBJECT
public:
    explicit frmInfo(QWidget* parent = nullptr);
};

}  // namespace kalvora::ui
