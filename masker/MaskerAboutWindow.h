#pragma once
// The mask editor's about box.
#include <QDialog>

class MaskerAboutWindow : public QDialog
{
    Q_OBJECT

public:
    explicit MaskerAboutWindow(QWidget *parent = nullptr);
};
