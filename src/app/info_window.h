#pragma once
// The info window: program name and version, who commissioned the program and who wrote it.

#include <QDialog>

namespace kalvora::ui {

class InfoWindow : public QDialog {
    Q_OBJECT
public:
    explicit InfoWindow(QWidget* parent = nullptr);
};

}  // namespace kalvora::ui
