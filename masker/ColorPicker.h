#pragma once
// A colour field of the wizard: a swatch with the colour's value as a mask stores it (RGB with red in the low
// byte, or a system colour). A click asks for another colour.
#include <QColor>
#include <QToolButton>
#include <cstdint>
#include <functional>

class ColorPicker : public QToolButton
{
    Q_OBJECT

public:
    explicit ColorPicker(int32_t value, QWidget *parent = nullptr);

    int32_t value() const { return m_value; }
    QColor color() const;
    // Shows the value; emits colorChanged when it differs.
    void setValue(int32_t value);

    // How a click asks for a colour (invalid: cancelled).
    void setChooser(std::function<QColor(QWidget *, const QColor &)> chooser)
    {
        m_chooser = std::move(chooser);
    }

signals:
    void colorChanged(int32_t value);

private:
    void choose();
    void paintSwatch();

    int32_t m_value;
    std::function<QColor(QWidget *, const QColor &)> m_chooser;
};
