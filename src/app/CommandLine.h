// The arguments the practice application passes: the usage text that "scrivo --help"
// prints (the arguments and the registry the program reads; asked for before anything
// starts, so it needs no display), and which arguments are options.
#pragma once

#include <QString>
#include <QStringList>

/// Whether an argument is "--help" or "-h".
bool AsksForUsage(int argc, const char *const *argv);

/// The usage text, in French, ending with a line break.
QString UsageText();

/// The arguments that are not keyed options ("-v", "-vv", "-ini=", "-pf=", "-wp:"),
/// wherever those stand: the first is the target or the document, the second may be
/// "-qre=". `arguments` starts with the program's name, which the result keeps.
QStringList PositionalArguments(const QStringList &arguments);

/// The same arguments with the keyed options moved after the others, in their order: a
/// keyed value read from the command line then ends where its option does ("-wp:ordo
/// lettre.odt" gives "ordo").
QStringList OptionsLast(const QStringList &arguments);
