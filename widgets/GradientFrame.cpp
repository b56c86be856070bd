#include "widgets/GradientFrame.h"

#include "widgets/FlatButton.h"
#include "widgets/ReadableText.h"
#include "widgets/TFountainFill.h"
#include "widgets/WindowDragger.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

namespace
{
constexpr int TitleHeight = 20;
constexpr int BorderWidth = 5;
} // namespace

GradientFrame::GradientFrame(QWidget *window, const QString &caption) : QObject(window)
{
    auto *grid = new QGridLayout(window);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);

    auto *titleBar = new TFountainFill(window);
    titleBar->setObjectName(QStringLiteral("TitleFill"));
    titleBar->setFixedHeight(TitleHeight);
    titleBar->setStyle(TFountainFill::fsHorizontal);
    titleBar->setSteps(50);
    m_title = new QLabel(caption, titleBar);
    m_title->setObjectName(QStringLiteral("Title"));
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_exit = new FlatButton(QStringLiteral("X"), titleBar);
    m_exit->setObjectName(QStringLiteral("ExitBtn"));
    m_exit->setToolTip(QStringLiteral("Close."));
    m_exit->setFont(bold);
    m_exit->setFixedSize(18, 16);
    auto *titleLayout = new QHBoxLayout(titleBar);
    titleLayout->setContentsMargins(6, 0, 2, 0);
    titleLayout->addWidget(m_title, 1);
    titleLayout->addWidget(m_exit);
    connect(m_exit, &FlatButton::clicked, window, &QWidget::close);

    auto makeBorder = [window](const char *name, TFountainFill::TFillStyle style) {
        auto *border = new TFountainFill(window);
        border->setObjectName(QLatin1String(name));
        border->setStyle(style);
        border->setSteps(40);
        return border;
    };
    auto *left = makeBorder("LeftFill", TFountainFill::fsVertical);
    auto *right = makeBorder("RightFill", TFountainFill::fsVertical);
    auto *bottom = makeBorder("BottomFill", TFountainFill::fsHorizontal);
    left->setFixedWidth(BorderWidth);
    right->setFixedWidth(BorderWidth);
    bottom->setFixedHeight(BorderWidth);
    m_strips = {titleBar, left, right, bottom};
    auto *dragger = new WindowDragger(window);
    for (TFountainFill *strip : std::as_const(m_strips))
        dragger->attach(strip);

    m_body = new QWidget(window);
    m_body->setAutoFillBackground(true);

    grid->addWidget(titleBar, 0, 0, 1, 3);
    grid->addWidget(left, 1, 0);
    grid->addWidget(m_body, 1, 1);
    grid->addWidget(right, 1, 2);
    grid->addWidget(bottom, 2, 0, 1, 3);
}

const QColor GradientFrame::DesignedColor = QColor(0xF0, 0xF0, 0xF0);

QColor GradientFrame::captionColor(const QColor &color1, const QColor &color2)
{
    return ReadableText::on(color1, color2);
}

void GradientFrame::setColors(const QColor &color1, const QColor &color2)
{
    // m_strips: title bar, left, right, bottom.
    m_strips[0]->setColors(color1, DesignedColor);
    m_strips[1]->setColors(color1, DesignedColor);
    m_strips[2]->setColors(DesignedColor, color1);
    m_strips[3]->setColors(DesignedColor, color1);
    QPalette pal = titleLabel()->palette();
    pal.setColor(QPalette::WindowText, captionColor(color1, color2));
    titleLabel()->setPalette(pal);
    // "X" sits on the frame's own colour at the end of the title bar.
    exitButton()->setTextColor(Qt::black);
}
