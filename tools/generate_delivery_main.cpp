// kalvora-gen: writes a realistic data-delivery file for demos, tests and benchmarks and prints
// its path.

#include <CLI/CLI.hpp>
#include <iostream>
#include <string>
#include <vector>

#include "delivery_generator.h"

namespace {

constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

std::string KindNames() {
    std::string names;
    for (const auto& info : kalvora::tools::FaultKinds()) {
        if (!names.empty()) names += ", ";
        names += info.name;
    }
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kalvora::tools;
    CLI::App app{"Erzeugt eine Datenlieferungsdatei (Satzart 1, Satzart 3, Summensatz)", "kalvora-gen"};
    GeneratorOptions options;
    std::string period = "A";
    std::string year = "6";
    std::string output = ".";
    std::vector<std::string> kindNames;
    bool noSum = false;
    bool wrongSum = false;
    bool lf = false;
    bool verbose = false;
    app.add_option("--stays", options.stays, "Anzahl der Aufenthalte")->capture_default_str();
    app.add_option("--seed", options.seed, "Startwert des Zufallsgenerators")->capture_default_str();
    app.add_option("--hospital", options.hospital, "KA-Code, z. B. K101")->capture_default_str();
    app.add_option("--department", options.department, "Abteilungscode, 8 Zeichen")->capture_default_str();
    app.add_option("--period", period, "Periodenbuchstabe (A bis S; andere für abgelehnte Namen)")
        ->capture_default_str();
    app.add_option("--year", year, "Jahresziffer")->capture_default_str();
    app.add_option("--first-admission", options.firstAdmission, "Tag der ersten Aufnahme, JJJJMMTT")
        ->capture_default_str();
    app.add_option("--admissions-per-day", options.admissionsPerDay, "mittlere Aufnahmen pro Tag")
        ->capture_default_str();
    app.add_option("--faults", options.faultRate, "Anteil fehlerhafter Aufenthalte, 0 bis 1")
        ->capture_default_str();
    app.add_option("--fault-kinds", kindNames, "Fehlerarten: " + KindNames())->delimiter(',');
    app.add_flag("--no-sum", noSum, "keinen Summensatz schreiben");
    app.add_flag("--wrong-sum", wrongSum, "einen falschen Summensatz schreiben");
    app.add_flag("--shuffle", options.shuffleStays, "Aufenthalte in zufälliger Reihenfolge der Schlüssel");
    app.add_option("--interleave", options.interleavedStays,
                   "Zeilen von so vielen Aufenthalten gemischt (Erhebungstage über die Datei verteilt)")
        ->capture_default_str();
    app.add_flag("--lf", lf, "Zeilenende LF statt CR LF");
    app.add_flag("--verbose", verbose, "Zahlen der Datei auf der Fehlerausgabe zeigen");
    app.add_option("--output", output, "Zielverzeichnis")->capture_default_str();
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? kExitDone : kExitUsage;
    }

    if (period.size() != 1 || year.size() != 1) {
        std::cerr << "Periode und Jahr sind je ein Zeichen.\n";
        return kExitUsage;
    }
    if (noSum && wrongSum) {
        std::cerr << "--no-sum und --wrong-sum schließen einander aus.\n";
        return kExitUsage;
    }
    if (!kindNames.empty()) {
        options.faultKinds.clear();
        for (const std::string& name : kindNames) {
            const auto kind = ParseFaultKind(name);
            if (!kind) {
                std::cerr << "Unbekannte Fehlerart \"" << name << "\". Bekannt sind: " << KindNames() << "\n";
                return kExitUsage;
            }
            options.faultKinds.push_back(*kind);
        }
    }
    options.sumRecord = noSum      ? SumRecordMode::Missing
                        : wrongSum ? SumRecordMode::Wrong
                                   : SumRecordMode::Correct;
    options.lineEnding = lf ? LineEnding::Lf : LineEnding::CrLf;

    const WrittenDelivery written = WriteDeliveryFile(options, output, period[0], year[0]);
    if (!written.result.ok()) {
        std::cerr << written.result.error << "\n";
        return kExitFailed;
    }
    std::cout << written.path.string() << "\n";
    if (verbose) {
        const GenerationResult& result = written.result;
        std::cerr << "Aufenthalte " << result.stays << ", Satzart 1: " << result.recordType1Lines
                  << ", Satzart 3: " << result.recordType3Lines << ", fehlerhafte Aufenthalte "
                  << result.faultyStays << ", Summensatz "
                  << (result.sumRecordWritten ? std::to_string(result.claimedLines) : std::string("fehlt"))
                  << "\n";
        for (const auto& info : FaultKinds()) {
            const int count = result.faultsByKind[static_cast<int>(info.kind)];
            if (count > 0) std::cerr << "  " << info.name << ": " << count << "\n";
        }
    }
    return kExitDone;
}
