// Choosing a picture and saving the strip.
#include <QApplication>
#include <QLocale>

#include "commands.h"
#include "form1.h"
#include "form1_texts.h"
#include "picture_io.h"
#include "qt_drawing.h"
#include "responsive_wait.h"
#include "strip_writer.h"

using namespace Controls;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Platform;
using namespace Png;
using namespace Render;

namespace Window {

namespace {

QString withSeparator(const QString& folder) {
    std::string path = folder.toStdString();
    Platform::AddBackslash(path);
    return QString::fromStdString(path);
}
}  // namespace

void Form1::File1_Click() {
    const QString name = File1->FileName();
    if (name.isEmpty()) return;
    const QString fullPath = withSeparator(File1->Path()) + name;
    // A metafile is played in a process of its own, for up to its deadline;
    // the window waits for it without freezing. Closed meanwhile, the window
    // ends the player at once and is left alone.
    Pictures::LoadedPicture loaded;
    if (!WaitResponsively(
            *this, [&] { loaded = Pictures::LoadPicture(fullPath, kMaxPictureSide); },
            &Pictures::StopPlayers))
        return;
    if (loaded.status == Pictures::LoadStatus::Unreadable) {
        ShowMessage(loaded.message);
        return;
    }
    if (loaded.status == Pictures::LoadStatus::TooLarge) {
        rejectPicture(loaded.size.width(), loaded.size.height());
        return;
    }
    // Only a picture taken names the strips: a refused one leaves the name
    // with the picture that is still the source.
    state_.BaseName = QString::fromStdString(Platform::StripExtension(name.toStdString()));
    picStart->setPicture(loaded.image);
    acceptPicture();
}

// A picture over the limit: the warning, and the strip and the test view put
// away as after a load. The previous picture stays the source in every
// respect (its name, its box, PicW, PicH and the grids), so a strip built now
// is the previous picture's and is saved under its name.
void Form1::rejectPicture(int width, int height) {
    setStartSize();
    HSTest->setValue(1);
    picTest->clearPicture();
    state_.stripBuilt = false;
    updateControls();
    ShowMessage(
        {.code = MessageCode::PictureTooLarge,
         .facts = {
             {Fact::MaxSide, kMaxPictureSide}, {Fact::Width, width}, {Fact::Height, height}}});
}

void Form1::acceptPicture() {
    AppState& s = state_;
    const int border = 2 * picStart->borderWidth();
    s.PicW = picStart->Width() - border;
    s.PicH = picStart->Height() - border;
    // From here on the strip on show is not of the source picture: nothing
    // of it is shown, saved or cut into frames until the next build.
    s.stripBuilt = false;
    showStripFromStart();
    LabWHStart->setText(Form1Texts::LoadedSizeCaption(s.PicW, s.PicH));
    captureSource();
    s.FrameBits.allocate(s.PicW, s.PicH);
    s.MagFactor = 1;
    HSMag->setValue(s.MagFactor);
    s.StripSize.X = s.PicW;
    s.StripSize.Y = s.PicH;
    picStrip->setSize(s.StripSize.X, s.StripSize.Y);
    LabXY[2]->setText(Form1Texts::StripSizeCaption(s.StripSize.X, s.StripSize.Y));
    // Deliberately in the user's locale: under a decimal comma the box reads
    // "22,5", and the leading-number rule, which knows only ".", makes the
    // radius 22. Users of such a locale have always got the whole part.
    const QString half = s.StripSize.X % 2 == 0
                             ? QString::number(s.StripSize.X / 2)
                             : QString::number(s.StripSize.X / 2) + QLocale().decimalPoint() + "5";
    txtIN[1]->setText(half);
    setStartSize();
    HSTest->setValue(1);
    picTest->clearPicture();
    // The start size leaves no room for the viewport and its scroll bars,
    // with or without a frame from the window system: they are hidden.
    updateControls();
}

void Form1::Command1_Click() {
    const AppState& s = state_;
    if (!s.stripBuilt) return;
    const QString folder = withSeparator(File1->Path());
    const QString fileName = QString::fromStdString(
        Output::ExportFileName(s.BaseName.toStdString(), s.StripIsHorizontal));
    const QString fullName = folder + fileName;
    if (Platform::FileExists(fullName.toStdString())) {
        const auto answer = messages_.show(
            {Form1Texts::OverwriteQuestion(fileName), QString(), QMessageBox::Question, true});
        if (answer == QMessageBox::No) return;
    }
    if (const Message failed =
            Output::WriteStripImage(fullName, ViewOf(picStrip->surface().image())))
        ShowMessage(failed);
    QCoreApplication::processEvents();
    File1->Refresh();
}

}  // namespace Window
