#include "MySqlClientPlugins.h"

#include <QCoreApplication>
#include <QDir>

#ifdef _WIN32
#include <windows.h> // plugin_auth.h names HANDLE without including it
#endif
#include <mysql.h>
#include <mysql/plugin_auth.h>

#include <cstring>
#include <mutex>

namespace {

constexpr char RefusedText[] = "Le serveur demande le mot de passe en clair sur une connexion non chiffrée : "
                               "Scrivo refuse de l'envoyer. Voyez votre administrateur.";
constexpr unsigned AuthPluginError = 2059; // CR_AUTH_PLUGIN_CANNOT_LOAD: the plugin refused

TMySqlAuthenticationPlugin ClearPasswordPlugin = {
    TMySqlAuthenticationPlugin::Type,
    TMySqlAuthenticationPlugin::InterfaceVersion,
    "mysql_clear_password",
    "Scrivo",
    "Clear password, over encrypted connections only",
    {1, 0, 0},
    "GPL",
    nullptr,
    nullptr,
    nullptr,
    nullptr,
    SendClearPasswordIfEncrypted,
};

} // namespace

int SendClearPasswordIfEncrypted(st_plugin_vio *vio, st_mysql *mysql)
{
    if (!vio || !mysql || !mysql->passwd)
        return CR_ERROR;
    if (!mysql_get_ssl_cipher(mysql)) {
        mysql->net.last_errno = AuthPluginError;
        std::strncpy(mysql->net.last_error, RefusedText, sizeof mysql->net.last_error - 1);
        mysql->net.last_error[sizeof mysql->net.last_error - 1] = '\0';
        return CR_ERROR;
    }
    const auto *password = reinterpret_cast<const unsigned char *>(mysql->passwd);
    return vio->write_packet(vio, password, int(std::strlen(mysql->passwd)) + 1) ? CR_ERROR : CR_OK;
}

void SecureMySqlClientPlugins()
{
    static std::once_flag once;
    std::call_once(once, [] {
#ifdef _WIN32
        // Read when a plugin is loaded; without it, a folder compiled into the library.
        qputenv("MARIADB_PLUGIN_DIR", QDir::toNativeSeparators(QCoreApplication::applicationDirPath()).toLocal8Bit());
#endif
        mysql_library_init(0, nullptr, nullptr); // the plugin registry exists from here on
        mysql_client_register_plugin(nullptr, reinterpret_cast<st_mysql_client_plugin *>(&ClearPasswordPlugin));
    });
}
