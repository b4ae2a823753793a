#pragma once
// The findings of a protocol file at a glance: the overview (one line per kind of finding with its
// rows and stays, sortable by every column) and below it the rows of the chosen finding. Type,
// parameter and file narrow both; the admission number searches the rows. A double click on a row
// of a stored stay opens its detail view.

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "import/protocol_findings.h"
#include "ui/value_list.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace kalvora::ui {

class ProtocolWindow : public QDialog {
    Q_OBJECT
public:
    // Opens the detail view of the row's stay; the opener tells the user when it is not stored.
    using StayOpener = std::function<void(const ProtocolRow& row, QWidget* parent)>;

    ProtocolWindow(std::string path, std::vector<ProtocolRow> rows, StayOpener openStay,
                   QWidget* parent = nullptr);

    // cmd_prot: 0 "Schließen", 1 "&Kopieren" (the overview as shown, as `kalvora-cli protocol
    // --summary` prints it).
    enum Command : int { Close = 0, Copy = 1 };
    void onCommand(Command command);

    // The findings shown, in the overview's present order, and the rows listed below it.
    std::vector<ProtocolFinding> shownFindings() const;
    const std::vector<ProtocolRow>& listedRows() const { return rowList_.values(); }

    // Opens the detail view of the listed row (as a double click on it does).
    void openRow(int row);

    // A row of the lower list.
    static std::string RowLine(const ProtocolRow& row);

private:
    ProtocolFilter filter() const;
    void refresh();
    void showRowsOfChosenFinding();

    std::string path_;
    std::vector<ProtocolRow> rows_;
    std::vector<ProtocolFinding> findings_;
    StayOpener openStay_;
    QComboBox* cmb_typ_ = nullptr;
    QComboBox* cmb_parameter_ = nullptr;
    QComboBox* cmb_datei_ = nullptr;
    QLineEdit* txt_aufnahmezahl_ = nullptr;
    QTableWidget* grd_befund_ = nullptr;
    QLabel* lbl_zeilen_ = nullptr;
    ValueList<ProtocolRow> rowList_;
};

}  // namespace kalvora::ui
