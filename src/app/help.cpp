#include "app/help.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QVariant>

#include "app/help_window.h"

namespace tabellan {

namespace {

HelpOpener g_opener = &OpenInHelpWindow;

QUrl PageUrl(const QString& anchor) {
    QUrl url = QUrl::fromLocalFile(QDir(HelpDirectory()).filePath(QStringLiteral("index.html")));
    url.setFragment(anchor);
    return url;
}

}  // namespace

QString HelpDirectory() {
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        appDir + QStringLiteral("/help"),
        appDir + QStringLiteral("/../share/tabellan/help"),
        QStringLiteral(TABELLAN_HELP_SOURCE_DIR),
    };
    for (const QString& dir : candidates) {
        if (QFileInfo::exists(dir + QStringLiteral("/index.html"))) {
            return QDir::cleanPath(dir);
        }
    }
    return QStringLiteral(TABELLAN_HELP_SOURCE_DIR);
}

QUrl HelpTopicUrl(const QString& topic) {
    return PageUrl(topic);
}

QUrl HelpContextUrl(int context) {
    return PageUrl(QStringLiteral("h%1").arg(context));
}

void SetHelpOpener(HelpOpener opener) {
    g_opener = opener ? opener : &OpenInHelpWindow;
}

void OpenHelp(const QUrl& url) {
    g_opener(url);
}

void ShowHelpTopic(const QString& topic) {
    OpenHelp(HelpTopicUrl(topic));
}

void ShowHelpContext(int context) {
    if (context > 0) {
        OpenHelp(HelpContextUrl(context));
    } else {
        ShowHelpTopic(QString::fromLatin1(kHelpTopics));
    }
}

int HelpContextOf(const QObject* object) {
    for (const QObject* o = object; o; o = o->parent()) {
        const QVariant v = o->property(kHelpContextProperty);
        if (v.isValid() && v.toInt() > 0) {
            return v.toInt();
        }
    }
    return 0;
}

void SetHelpContext(QObject* object, int context) {
    object->setProperty(kHelpContextProperty, context);
}

}  // namespace tabellan
