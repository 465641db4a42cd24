// The identification panel ("ID. Doc. - <job> -"): per level the lock box, the entry with its
// list, the code display and the level's command; the start, stop and next-document buttons; the
// batch counter and file field; the "Visualizza immagini" box; the batch file list with its
// delete button. A view over the identification model: while a scan runs the model belongs to
// the scan's thread, and the panel shows copies of it (Show) instead of reading it.
#pragma once

#include <QWidget>

#include <string>
#include <vector>

#include "acquisition/batch_file_list.h"
#include "acquisition/identification_model.h"
#include "operator/interface_texts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QToolButton;

namespace scantora {

// What the panel shows of the identification model.
struct IdentificationView {
    std::vector<IdentificationLevel> levels;
    std::string file_field;
    std::string counter;  // "Num. Img. nel Bacth: %d  "
};

IdentificationView ViewOf(const IdentificationModel& model);

class IdentificationPanel : public QWidget {
    Q_OBJECT

public:
    // `model` and `texts` must outlive the panel.
    IdentificationPanel(IdentificationModel& model, const InterfaceTexts& texts,
                        QWidget* parent = nullptr);

    // Shows the model as it is now (only while no scan runs), or a copy taken on the scan's
    // thread.
    void Refresh();
    void Show(const IdentificationView& view);
    void ShowCounter(const std::string& text);
    void ShowFiles(const BatchFileList& list);

    // Scanning: start disabled and stop enabled, the codes and the delete button out of reach.
    // After a scan the caller refreshes the panel once the scan's thread has ended.
    void SetScanning(bool scanning);
    bool scanning() const { return scanning_; }

    QPushButton* start_button() const { return start_; }
    QPushButton* stop_button() const { return stop_; }
    QPushButton* next_button() const { return next_; }
    QPushButton* delete_button() const { return delete_; }
    QComboBox* entry(std::size_t level) const { return rows_.at(level).entry; }
    QLineEdit* display(std::size_t level) const { return rows_.at(level).display; }
    QCheckBox* lock(std::size_t level) const { return rows_.at(level).lock; }
    QListWidget* file_list() const { return files_; }
    QCheckBox* show_images() const { return show_images_; }

signals:
    void StartRequested();
    void StopRequested();
    void NextDocumentRequested();
    void DeleteRequested();
    // The operator picked entry `index` of the batch file list.
    void FileChosen(int index);
    void ShowImagesChanged(bool shown);

private:
    struct Row {
        QCheckBox* lock = nullptr;
        QLabel* label = nullptr;
        QComboBox* entry = nullptr;
        QLineEdit* display = nullptr;
        QToolButton* command = nullptr;
    };
    void BuildRow(std::size_t index);
    void EntryLeft(std::size_t index);

    IdentificationModel& model_;
    const InterfaceTexts& texts_;
    std::vector<Row> rows_;
    QPushButton* start_;
    QPushButton* stop_;
    QPushButton* next_;
    QLabel* counter_;
    QLineEdit* file_field_;
    QCheckBox* show_images_;
    QListWidget* files_;
    QPushButton* delete_;
    bool scanning_ = false;
};

}  // namespace scantora
