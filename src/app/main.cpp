#include "authmanager.h"
#include "keyvaluestore.h"
#include "networkservice.h"
#include "qttranslations.h"
#include "serverconfig.h"

#include <QGuiApplication>
#include <QQmlApplicationEngine>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QGuiApplication::setOrganizationName(QStringLiteral("Korvana"));
    QGuiApplication::setApplicationName(QStringLiteral("Korvana"));
    korvana::loadQtPolishTranslations();

    korvana::NetworkService network(korvana::serverBaseUrl());
    korvana::AuthManager authManager(network, korvana::KeyValueStore::shared());

    QQmlApplicationEngine engine;
    engine.loadData(R"(
        import QtQuick
        Window {
            width: 390; height: 844; visible: true
            title: "Korvana"
            color: "black"
        })");
    if (engine.rootObjects().isEmpty())
        return 1;
    return QGuiApplication::exec();
}
