// Writes a generated database into a program folder:
//   tarabix-generate --out FOLDER [--documents N] [--seed N] [--companies N]
//                    [--work-points N] [--clients N] [--suppliers N] [--until YYYY-MM-DD]
// The program then runs on it with `tarabix --home FOLDER`.
#include "generator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <stdexcept>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarabix-generate"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Builds the database of a working shop, for trying and measuring."));
    parser.addHelpOption();
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Program folder to create."),
                                 QStringLiteral("folder"));
    const QCommandLineOption documents(QStringLiteral("documents"),
                                       QStringLiteral("Sales documents (default 1000)."),
                                       QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption seed(QStringLiteral("seed"),
                                  QStringLiteral("Seed (default 20261211)."), QStringLiteral("n"),
                                  QStringLiteral("20261211"));
    const QCommandLineOption companies(QStringLiteral("companies"),
                                       QStringLiteral("Own companies (default 1)."),
                                       QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption workPoints(QStringLiteral("work-points"),
                                        QStringLiteral("Work points per company (default 1)."),
                                        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption clients(QStringLiteral("clients"),
                                     QStringLiteral("Clients per company (default 120)."),
                                     QStringLiteral("n"), QStringLiteral("120"));
    const QCommandLineOption suppliers(QStringLiteral("suppliers"),
                                       QStringLiteral("Suppliers per company (default 12)."),
                                       QStringLiteral("n"), QStringLiteral("12"));
    const QCommandLineOption until(
        QStringLiteral("until"), QStringLiteral("Day of the last documents (default 2026-11-30)."),
        QStringLiteral("date"), QStringLiteral("2026-11-30"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), QStringLiteral("No progress."));
    parser.addOptions(
        {out, documents, seed, companies, workPoints, clients, suppliers, until, quiet});
    parser.process(app);
    if (!parser.isSet(out)) {
        std::fprintf(stderr, "--out is required\n");
        return 2;
    }

    generator::Options options;
    bool ok = true;
    const auto number = [&parser, &ok](const QCommandLineOption &option, int low) {
        bool valid = false;
        const int value = parser.value(option).toInt(&valid);
        if (!valid || value < low) {
            std::fprintf(stderr, "--%s: a whole number of at least %d\n",
                         qPrintable(option.names().first()), low);
            ok = false;
        }
        return value;
    };
    options.documents = number(documents, 1);
    options.seed = quint32(parser.value(seed).toUInt());
    options.companies = number(companies, 1);
    options.workPoints = number(workPoints, 1);
    options.clients = number(clients, 1);
    options.suppliers = number(suppliers, 1);
    options.lastDay = QDate::fromString(parser.value(until), Qt::ISODate);
    if (!options.lastDay.isValid()) {
        std::fprintf(stderr, "--until: a date as YYYY-MM-DD\n");
        ok = false;
    }
    if (!ok)
        return 2;

    QElapsedTimer timer;
    timer.start();
    try {
        const bool showProgress = !parser.isSet(quiet);
        const generator::Summary s =
            generator::generate(parser.value(out), options, [showProgress](int done, int total) {
                if (showProgress)
                    std::fprintf(stderr, "\r%d / %d documents", done, total);
            });
        if (showProgress)
            std::fprintf(stderr, "\n");
        std::printf(
            "%d companies, %d work points, %d partners, %d supplier invoices, %d sales documents "
            "(%d validated), %d lines, %d collections (%d cancelled), %s to %s, in %.1f s\n",
            s.companies, s.workPoints, s.partners, s.supplierDocuments, s.salesDocuments,
            s.validated, s.lines, s.collections, s.cancelledCollections,
            qPrintable(s.firstDay.toString(Qt::ISODate)),
            qPrintable(s.lastDay.toString(Qt::ISODate)), double(timer.elapsed()) / 1000);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "\ntarabix-generate: %s\n", e.what());
        return 1;
    }
    return 0;
}
