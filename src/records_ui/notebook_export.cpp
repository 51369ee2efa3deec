// The notebook window's export: the file dialog (Qt's own, so that it speaks the game's
// Japanese), the question before replacing a file, and the writing.
#include "records_ui/notebook_window.h"

#include "records/anki_export.h"
#include "records_ui/game_look.h"
#include "records_ui/notebook_model.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>

namespace horokata {

void NotebookWindow::chooseExportFile()
{
    if (fileDialog_) {
        fileDialog_->raise();
        fileDialog_->activateWindow();
        return;
    }
    // The documents folder when there is one, else home.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    auto *dialog = new QFileDialog(this, QStringLiteral("書き出し"), QDir(folder).filePath(QStringLiteral("ホロカタ単語帳.txt")),
                                   QStringLiteral("Anki 用テキスト (*.txt);;すべてのファイル (*)"));
    dialog->setObjectName(QStringLiteral("exportDialog"));
    // Its words would otherwise take this window's white on its own light background.
    applyGameLook(dialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The dialog's own question about a file already there would wait in a loop of its own:
    // it is asked below without waiting instead.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    // A desktop's own dialog ignores Qt's translations and would speak the system's language.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    connect(dialog, &QFileDialog::fileSelected, this, &NotebookWindow::exportChosen);
    fileDialog_ = dialog;
    dialog->open();
}

void NotebookWindow::exportChosen(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        exportTo(path);
        return;
    }
    auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("書き出し"),
                                QStringLiteral("「%1」はすでにあります。置き換えますか？").arg(QFileInfo(path).fileName()),
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("replaceQuestion"));
    QPushButton *yes = box->addButton(QStringLiteral("はい ○"), QMessageBox::YesRole);
    QPushButton *no = box->addButton(QStringLiteral("いいえ ×"), QMessageBox::NoRole);
    box->setDefaultButton(no);
    box->setEscapeButton(no);
    box->setAttribute(Qt::WA_DeleteOnClose);
    applyGameLook(box);
    // The list is written as it is shown when the answer comes.
    connect(box, &QMessageBox::finished, this, [this, box, yes, path] {
        if (box->clickedButton() == yes)
            exportTo(path);
    });
    box->open();
}

bool NotebookWindow::exportTo(const QString &path)
{
    // The list as shown, in its order.
    std::vector<NotebookEntry> entries;
    entries.reserve(model_->rows().size());
    for (int entry : model_->rows())
        entries.push_back(notebook_.entries()[std::size_t(entry)]);
    QString error;
    const bool ok = writeAnkiExport(path, entries, &error);
    const QString name = QFileInfo(path).fileName();
    const QString message = ok ? QStringLiteral("%1 語を「%2」に書き出しました。").arg(entries.size()).arg(name)
                               : QStringLiteral("「%1」に書き出せませんでした：%2").arg(name, error);
    setStatus(message);
    emit exportFinished(ok, message);
    return ok;
}

} // namespace horokata
