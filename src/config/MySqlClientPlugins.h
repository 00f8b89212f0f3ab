// The MySQL client's authentication plugins: the clear-text password plugin is replaced
// by one that sends the password only over an encrypted connection (a server, or a host
// impersonating it, may ask any account for its password in clear; over a plain
// connection anybody on the way would read it). On Windows, where the plugins an account
// may use are built into the client library, no plugin is loaded from anywhere but the
// program's own folder. Internal to the config layer.
#pragma once

#include <cstddef>
#include <cstdarg>

struct st_mysql;
struct st_plugin_vio;

/// An authentication plugin as the client library reads it, declared here because the
/// library's own header (mysql/client_plugin.h) includes one that Debian's package lacks.
struct TMySqlAuthenticationPlugin {
    static constexpr int Type = 2;                  // MYSQL_CLIENT_AUTHENTICATION_PLUGIN
    static constexpr unsigned InterfaceVersion = 0x0100;
    int type;
    unsigned interfaceVersion;
    const char *name;
    const char *author;
    const char *description;
    unsigned version[3];
    const char *license;
    void *mysqlApi;
    int (*init)(char *, std::size_t, int, va_list);
    int (*deinit)();
    int (*options)(const char *, const void *);
    int (*authenticateUser)(st_plugin_vio *, st_mysql *);
};

/// Sets the client library up so, once per process, before the first connection: the
/// replacement registered (the library then never loads its own), and on Windows the
/// plugin folder set to the program's.
void SecureMySqlClientPlugins();

/// The replacement's authentication step: the password (with its final zero) when the
/// connection is encrypted, else an error naming the refusal.
int SendClearPasswordIfEncrypted(st_plugin_vio *vio, st_mysql *mysql);
