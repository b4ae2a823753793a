#include "app/info_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kalvora::ui {

InfoWindow::InfoWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral(" Kalvora"));
    setModal(true);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("img_kalvora"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(48, 48));
    picture->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("Kalvora Version 10.0"), this);
    name->setObjectName(QStringLiteral("lbl_version"));
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPointSizeF(nameFont.pointSizeF() * 1.4);
    name->setFont(nameFont);

    auto* purpose = new QLabel(
        QStringLiteral("Dokumentation, Prüfung und Einstufung der Intensivstationen\nnach TISS-28"), this);
    purpose->setObjectName(QStringLiteral("lbl_zweck"));
    auto* authority =
        new QLabel(QStringLiteral("Im Auftrag der Träger der teilnehmenden Krankenanstalten"), this);
    authority->setObjectName(QStringLiteral("lbl_auftraggeber"));
    auto* author = new QLabel(QStringLiteral("Programm: Kalvora-Entwicklungsteam"), this);
    author->setObjectName(QStringLiteral("lbl_autor"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmd_kalvora"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addSpacing(6);
    texts->addWidget(purpose);
    texts->addSpacing(10);
    texts->addWidget(authority);
    texts->addWidget(author);

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->addLayout(top);
    layout->addSpacing(14);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

}  // namespace kalvora::ui
