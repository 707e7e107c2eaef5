// SPDX-License-Identifier: MIT
// The board as assistive tools see it, and its news.
#include "boardaccessible.h"

#include "announcer.h"
#include "pictureview.h"

namespace {
// The board's news, named with its last sentence.
class NewsAccessible : public QAccessibleWidget
{
public:
    explicit NewsAccessible(Announcer *news) : QAccessibleWidget(news, QAccessible::Notification) {}
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<const Announcer *>(widget())->said() : QString();
    }
};

QAccessibleInterface *boardFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("PictureView") && object && object->isWidgetType())
        return new BoardAccessible(static_cast<PictureView *>(object));
    if (className == QLatin1String("Announcer") && object && object->isWidgetType())
        return new NewsAccessible(static_cast<Announcer *>(object));
    return nullptr;
}
} // namespace

// A canvas: a picture the player acts on, not a still image.
BoardAccessible::BoardAccessible(PictureView *view) : QAccessibleWidget(view, QAccessible::Canvas) {}

QString BoardAccessible::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name: return QStringLiteral("Board");
    case QAccessible::Description: return static_cast<const PictureView *>(widget())->Description();
    default: return QAccessibleWidget::text(t);
    }
}

void BoardAccessible::install()
{
    [[maybe_unused]] static const bool installed = (QAccessible::installFactory(boardFactory), true);
}
