// SPDX-FileCopyrightText: 2026 The BREV Editor developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/ui/editor_arguments.h"

#include "base/program_info.h"
#include "editor/ui/local_file_name.h"

#include <QCommandLineParser>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

namespace brev {

namespace {

// As QFileInfo::absoluteFilePath, which would pass the name through the locale's encoding and
// lose bytes that are not UTF-8.
QString absolutePath(const QString& path) {
    if (path.startsWith(u'/'))
        return QDir::cleanPath(path);
    std::unique_ptr<char, decltype(&std::free)> working(::getcwd(nullptr, 0), &std::free);
    return QDir::cleanPath(fileNameText(working ? working.get() : ".") + u'/' + path);
}

} // namespace

EditorArguments parseEditorArguments(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Re-arranges a one-bar drum loop slice by slice. Started with a FILE while "
                       "the editor runs, hands FILE to the running editor."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("The audio file to load, as Load would."),
                                 QStringLiteral("[FILE]"));

    EditorArguments result;
    if (!parser.parse(arguments) || parser.positionalArguments().size() > 1) {
        const QString mistake = parser.errorText().isEmpty()
                                    ? QStringLiteral("Give at most one FILE.")
                                    : parser.errorText();
        std::fprintf(stderr, "%s\nRun brevedit --help for the usage.\n", qPrintable(mistake));
        result.exitStatus = 2;
    } else if (parser.isSet(help)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        result.exitStatus = 0;
    } else if (parser.isSet(version)) {
        std::puts(versionLine("brevedit").c_str());
        result.exitStatus = 0;
    } else if (!parser.positionalArguments().isEmpty()) {
        result.file = absolutePath(parser.positionalArguments().constFirst());
    }
    return result;
}

} // namespace brev
