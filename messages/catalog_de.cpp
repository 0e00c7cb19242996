// The German catalog: every message the two programs show, in the words the
// window has always used.
#include <cerrno>

#include "catalog.h"

namespace Catalog {

namespace {

QString systemError(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral("keine Berechtigung");
        case EROFS:
            return QStringLiteral("der Datenträger ist schreibgeschützt");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("der Datenträger ist voll");
        case EFBIG:
            return QStringLiteral("die Datei wäre größer als erlaubt");
        case ENAMETOOLONG:
            return QStringLiteral("der Name ist zu lang");
        case ENOENT:
            return QStringLiteral("der Ordner oder die Datei existiert nicht");
        case ENOTDIR:
            return QStringLiteral("ein Teil des Pfades ist kein Ordner");
        case EISDIR:
            return QStringLiteral("unter diesem Namen steht ein Ordner");
        case EIO:
            return QStringLiteral("Ein-/Ausgabefehler des Datenträgers");
        case ENOMEM:
            return QStringLiteral("nicht genug Speicher");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("zu viele offene Dateien");
        case ETXTBSY:
        case EBUSY:
            return QStringLiteral("die Datei ist in Gebrauch");
        case ELOOP:
            return QStringLiteral("zu viele symbolische Verknüpfungen");
        case EPIPE:
            return QStringLiteral("die Ausgabe wurde geschlossen");
        case EXDEV:
            return QStringLiteral("Umbenennen über Datenträger hinweg nicht möglich");
        default:
            return QStringLiteral("Fehler %1").arg(error);
    }
}

// "BMP, JPEG oder GIF"
QString num(qint64 n) {
    return QString::number(n);
}

// A count with its noun: one or many.
QString count(qint64 n, const char* one, const char* many) {
    return num(n) + ' ' + QString::fromUtf8(n == 1 ? one : many);
}

QString list(const QStringList& names) {
    if (names.size() < 2) return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" oder ") +
           names.last();
}

QString tooLarge(const Message& m) {
    const auto& n = m.numbers;
    return QStringLiteral("Maximal erlaubt:") + SignPadded(n[0]) + QStringLiteral(" x") +
           SignPadded(n[0]) + QStringLiteral(" \rDieses Bild hat:") + SignPadded(n[1]) +
           QStringLiteral(" x") + SignPadded(n[2]);
}

QString reasons(const Message& m) {
    switch (m.code) {
        case MessageCode::SystemError:
            return systemError(m.reason.error);
        case MessageCode::Damaged:
            return QStringLiteral("sie ist beschädigt oder kein Bild");
        case MessageCode::Missing:
            return QStringLiteral("sie existiert nicht");
        case MessageCode::NoReadPermission:
            return QStringLiteral("keine Leseberechtigung");
        case MessageCode::IsFolder:
            return QStringLiteral("es ist ein Ordner");
        case MessageCode::NotAFile:
            return QStringLiteral(
                "sie ist keine gewöhnliche Datei, sondern eine Pipe oder ein Gerät");
        case MessageCode::DrawingTooSlow:
            return QStringLiteral("das Zeichnen dauerte zu lange");
        case MessageCode::PlayerCrashed:
            return QStringLiteral("der Metafile-Leser ist abgestürzt");
        case MessageCode::DrawingTooLarge:
            return QStringLiteral("das Zeichnen braucht zu viel Speicher");
        case MessageCode::PlayerLacksFonts:
            return QStringLiteral(
                "dem Metafile-Leser fehlen seine Schriften (Paket fonts-urw-base35)");
        case MessageCode::RefersToFiles:
            return QStringLiteral("die Zeichnung verweist auf andere Dateien");
        case MessageCode::NoPlayer:
            return QStringLiteral("der Metafile-Leser neben dem Programm fehlt oder startet nicht");
        case MessageCode::SvgPlayerCrashed:
            return QStringLiteral("der SVG-Leser ist abgestürzt");
        case MessageCode::NoSvgPlayer:
            return QStringLiteral("der SVG-Leser neben dem Programm fehlt oder startet nicht");
        case MessageCode::NoPicture:
            return QStringLiteral("kein Bild");
        case MessageCode::NotEncoded:
            return QStringLiteral("das Bild ließ sich nicht umwandeln");
        case MessageCode::NoWriteRight:
            return QStringLiteral("kein Schreibrecht im Ordner");
        case MessageCode::FolderMissing:
            return QStringLiteral("der Ordner existiert nicht");
        case MessageCode::NotAFileUnderName:
            return QStringLiteral("unter diesem Namen steht keine gewöhnliche Datei");
        case MessageCode::ReadOnlyFile:
            return QStringLiteral("die vorhandene Datei ist schreibgeschützt");
        default:
            return {};
    }
}

QString reasonText(const Reason& reason) {
    Message m;
    m.code = reason.code;
    m.reason = reason;
    return reasons(m);
}

QString pictures(const Message& m) {
    const QString& file = m.subject;
    switch (m.code) {
        case MessageCode::CannotRead:
            return QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2.")
                .arg(file, reasonText(m.reason));
        case MessageCode::UnsupportedPicture:
            return QStringLiteral("Die Datei '%1' ist kein unterstütztes Bild (%2).")
                .arg(file, list(m.names));
        case MessageCode::EmptyPicture:
            return QStringLiteral("Die Datei '%1' enthält kein Bild.").arg(file);
        case MessageCode::RasterNotScaled:
            return QStringLiteral(
                       "Die Datei '%1' ist kein SVG-Bild: --scale vergrössert nur SVG-Bilder, "
                       "ein Pixelbild würde unscharf.")
                .arg(file);
        case MessageCode::PictureTooLarge:
            return tooLarge(m);
        case MessageCode::PictureFileTooLarge:
            return QStringLiteral("Die Datei '%1' ist zu groß.\r").arg(file) + tooLarge(m);
        default:
            return {};
    }
}

QString strips(const Message& m) {
    const auto& n = m.numbers;
    switch (m.code) {
        case MessageCode::VerticalTooLarge:
            return QStringLiteral("Zu gross für Verikale Sequenz. \rReduziere die Einzelbilder.");
        case MessageCode::StripTooLarge:
            return QStringLiteral(
                       "Die Sequenz wäre %1 x %2 Pixel gross. \rMöglich sind "
                       "höchstens %3 Pixel. Reduziere die Einzelbilder.")
                .arg(n[0])
                .arg(n[1])
                .arg(n[2]);
        case MessageCode::NoMemoryForStrip:
            return QStringLiteral("Nicht genug Speicher für eine Sequenz von %1 x %2 Pixeln.")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::CannotSave:
            return QStringLiteral("Die Datei '%1' konnte nicht gespeichert werden: %2.")
                .arg(m.subject, reasonText(m.reason));
        case MessageCode::DriveNotReady:
            return QStringLiteral("Das Laufwerk '%1' ist nicht bereit.").arg(m.subject);
        case MessageCode::FolderNotListed:
            return QStringLiteral("Der Ordner '%1' kann nicht gelesen werden.").arg(m.subject);
        case MessageCode::CannotMakeFolder:
            return QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(m.subject);
        case MessageCode::StripWrittenAlready:
            return QStringLiteral(
                       "Die Datei '%1' wurde eben schon aus einem anderen Bild geschrieben; "
                       "dieses Bild wird übersprungen.")
                .arg(m.subject);
        case MessageCode::PictureNotOverwritten:
            return QStringLiteral(
                       "Die Datei '%1' ist ein Bild dieses Aufrufs und wird nicht überschrieben.")
                .arg(m.subject);
        case MessageCode::Written:
            return QStringLiteral("%1: %2 x %3 Pixel, %4")
                .arg(m.subject, num(n[0]), num(n[1]), count(n[2], "Einzelbild", "Einzelbilder"));
        case MessageCode::WrittenFrames:
            return n[2] == 1
                       ? QStringLiteral("%1: %2 x %3 Pixel").arg(m.subject, num(n[0]), num(n[1]))
                       : QStringLiteral("%1 und die folgenden: %2 Dateien von %3 x %4 Pixeln")
                             .arg(m.subject, num(n[2]), num(n[0]), num(n[1]));
        case MessageCode::PictureParameters:
            return QStringLiteral("%1: %2 von %3 x %4 Pixeln, Radius %5, von %6 bis %7 Grad")
                .arg(m.subject, count(n[0], "Einzelbild", "Einzelbilder"), num(n[1]), num(n[2]),
                     m.names.value(0), m.names.value(1), m.names.value(2));
        case MessageCode::UsageSeeHelp:
            return QStringLiteral("Mehr mit 'torvelink-cli --help'.");
        case MessageCode::ToolkitLine:
            return QStringLiteral("%1: senkrecht, %2 Einzelbilder von %3 bis %4 Grad, PNG%5")
                .arg(m.subject)
                .arg(n[0])
                .arg(n[1])
                .arg(n[2])
                .arg(m.value.isEmpty() ? QString() : QStringLiteral(", mit ") + m.value);
        case MessageCode::FramesRepaired:
            return QStringLiteral("Warnung: --frames %1 ergibt %2 Einzelbilder.")
                .arg(m.value)
                .arg(n[0]);
        case MessageCode::RadiusIsZero:
            return QStringLiteral(
                "Warnung: Rotationsradius 0: keines der Einzelbilder dreht sich.");
        case MessageCode::FramesNotSquare:
            return QStringLiteral(
                       "Warnung: die Einzelbilder sind %1 x %2 Pixel, nicht quadratisch; wer die "
                       "Einzelbilder als lange durch kurze Seite zählt, spielt sie falsch ab "
                       "(--square macht das Bild quadratisch).")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::StripOverTextureLimit:
            return QStringLiteral(
                       "Warnung: der Streifen ist %1 Pixel lang; viele Grafikkarten laden "
                       "höchstens %2 Pixel je Seite.")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::NoCentreFrame:
            return QStringLiteral(
                       "Warnung: bei %1 Einzelbildern steht keines in der Mitte des Bogens; der "
                       "Wert 0,5 zeigt %3 Grad (%2 Einzelbilder haben eines).")
                .arg(n[0])
                .arg(n[1])
                .arg(list(m.names));
        case MessageCode::TransparencyOnGrey:
            return QStringLiteral(
                       "Warnung: BMP kennt keine Transparenz; sie liegt auf Grau %1 (--format png "
                       "behält sie).")
                .arg(m.value);
        case MessageCode::MaxSizeHint:
            return QStringLiteral("Mit --max-size %1 geht es.").arg(n[0]);
        case MessageCode::RasterNotEnlarged:
            return QStringLiteral(
                       "Die Datei '%1' hat %2 x %3 Pixel; ein Pixelbild wird nicht auf %4 x %5 "
                       "vergrössert.")
                .arg(m.subject, num(n[0]), num(n[1]), num(n[2]), num(n[3]));
        case MessageCode::RadiusRepaired:
            return QStringLiteral("Warnung: --radius %1 ergibt Radius %2.")
                .arg(m.value, m.names.value(0));
        case MessageCode::TooManyFrameFiles:
            return QStringLiteral(
                       "Es wären %1 Dateien mit zusammen %2 Pixeln; möglich sind höchstens %3 "
                       "Dateien und %4 Pixel. Reduziere die Einzelbilder.")
                .arg(num(n[0]), num(n[1]), num(n[2]), num(n[3]));
        case MessageCode::Progress:
            return QStringLiteral("Bild %1 von %2: %3").arg(n[0]).arg(n[1]).arg(m.subject);
        default:
            return {};
    }
}

QString usage(const Message& m) {
    switch (m.code) {
        case MessageCode::UnknownOption:
            if (!m.value.isEmpty())
                return QStringLiteral("Unbekannte Option '%1'. Gemeint ist wohl %2.")
                    .arg(m.subject, m.value);
            return QStringLiteral("Unbekannte Option '%1'.").arg(m.subject);
        case MessageCode::OptionNeedsValue:
            return QStringLiteral("%1 braucht einen Wert.").arg(m.subject);
        case MessageCode::NotANumber:
            return QStringLiteral("%1 erwartet eine Zahl, nicht '%2'.").arg(m.subject, m.value);
        case MessageCode::FormatExpected:
            return QStringLiteral("--format erwartet png oder bmp, nicht '%1'.").arg(m.value);
        case MessageCode::CompressionExpected:
            return QStringLiteral("--compression erwartet fast, default oder small, nicht '%1'.")
                .arg(m.value);
        case MessageCode::BackgroundExpected:
            return QStringLiteral(
                       "--background erwartet R,G,B mit ganzen Zahlen von 0 bis 255, nicht '%1'.")
                .arg(m.value);
        case MessageCode::OutputNeedsName:
            return QStringLiteral("-o braucht einen Datei- oder Ordnernamen.");
        case MessageCode::WholeNumberExpected:
            return QStringLiteral("%1 erwartet eine ganze Zahl von 1 bis %2.")
                .arg(m.subject)
                .arg(m.numbers[0]);
        case MessageCode::ScaleExpected:
            return QStringLiteral("--scale erwartet eine Zahl über 0 bis %1.").arg(m.numbers[0]);
        case MessageCode::OrientationsExclude:
            return QStringLiteral("--horizontal und --vertical schliessen sich aus.");
        case MessageCode::AngleSweepExclude:
            return QStringLiteral(
                "--angle und --sweep schliessen sich aus: --sweep bestimmt den Winkel je "
                "Einzelbild.");
        case MessageCode::NoPictureGiven:
            return QStringLiteral("Kein Bild angegeben.");
        case MessageCode::OptionsExclude:
            return QStringLiteral("%1 und %2 schliessen sich aus.").arg(m.subject, m.value);
        case MessageCode::ToolkitExpected:
            return QStringLiteral("--for erwartet %1, nicht '%2'.").arg(list(m.names), m.value);
        case MessageCode::SideExpected:
            return QStringLiteral(
                       "--side erwartet manifest, kontakt, uidesc, css, header oder none, mit "
                       "Kommas getrennt, nicht '%1'.")
                .arg(m.value);
        case MessageCode::ScalesExpected:
            return QStringLiteral(
                       "--scales erwartet Zahlen von 0.01 bis %1, mit Kommas getrennt, nicht '%2'.")
                .arg(m.numbers[0])
                .arg(m.value);
        case MessageCode::LayoutExpected:
            return QStringLiteral(
                       "--layout erwartet horizontal, vertical, grid:C (C Spalten) oder frames, "
                       "nicht '%1'.")
                .arg(m.value);
        case MessageCode::FirstNumberExpected:
            return QStringLiteral("--first-number erwartet 0 oder 1.");
        case MessageCode::OutputEndingUnknown:
            return QStringLiteral("-o '%1': geschrieben werden nur PNG (.png) und BMP (.bmp).")
                .arg(m.subject);
        case MessageCode::OutputMustBeFolder:
            return QStringLiteral(
                       "Bei mehreren Bildern muss -o ein Ordner sein (mit / am Ende): "
                       "'%1'.")
                .arg(m.subject);
        case MessageCode::OutputFormatMismatch:
            return QStringLiteral("-o '%1' passt nicht zu --format %2.").arg(m.subject, m.value);
        default:
            return {};
    }
}

QString help(const Message& m) {
    const auto& n = m.numbers;
    switch (m.code) {
        case MessageCode::UsageCall:
            return QStringLiteral("Aufruf: torvelink-cli");
        case MessageCode::UsagePicture:
            return QStringLiteral("BILD");
        case MessageCode::UsageOutputName:
            return QStringLiteral("AUSGABE");
        case MessageCode::UsageToolkit:
            return QStringLiteral("TOOLKIT");
        case MessageCode::UsageIntro:
            return QStringLiteral("Baut aus jedem BILD (%1)\neine Knopf-Sequenz und speichert sie.")
                .arg(list(m.names));
        case MessageCode::UsageExamples:
            return QStringLiteral(
                "Beispiele:\n"
                "  Die Sequenz, die JUCE so abspielt, wie sie ist (senkrecht, PNG):\n"
                "    torvelink-cli knopf.png --for juce\n"
                "  Senkrecht, transparent, 129 Einzelbilder von -135 bis +135 Grad:\n"
                "    torvelink-cli knopf.png --vertical --frames 129 --start -135 --end 135 "
                "\\\n"
                "                  --format png\n"
                "  Aus einem SVG-Bild von 64 Pixeln, einfach und doppelt so gross:\n"
                "    torvelink-cli knopf.svg --for vstgui --size 64 --scales 1,2\n"
                "  Mehrere Bilder in einen Ordner, je mit Manifest:\n"
                "    torvelink-cli a.png b.svg c.gif --format png --manifest -o "
                "sequenzen/\n");
        case MessageCode::UsageLimits:
            return QStringLiteral(
                       "Ein Streifen hat höchstens %1 Pixel und höchstens %2 Pixel je Seite.")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::UsageExitStatus:
            return QStringLiteral(
                "Rückgabe: 0 alles geschrieben, 1 Ein- oder Ausgabefehler (bei mehreren "
                "Bildern:\nmindestens eines nicht geschrieben), 2 falscher Aufruf.");
        case MessageCode::ManName:
            return QStringLiteral("baut Knopf-Sequenzen aus Bildern");
        case MessageCode::ManSynopsis:
            return QStringLiteral("ÜBERSICHT");
        case MessageCode::ManDescription:
            return QStringLiteral("BESCHREIBUNG");
        case MessageCode::ManOptions:
            return QStringLiteral("OPTIONEN");
        case MessageCode::ManExitStatus:
            return QStringLiteral("RÜCKGABEWERT");
        case MessageCode::ManExamples:
            return QStringLiteral("BEISPIELE");
        case MessageCode::HelpFrames:
            return QStringLiteral("Einzelbilder (Vorgabe %1; unter 1 wird 1)").arg(n[0]);
        case MessageCode::HelpRadius:
            return QStringLiteral(
                "Rotationsradius in Pixeln (Vorgabe: halbe Bildbreite;\nnegativ wird 1)");
        case MessageCode::HelpAngle:
            return QStringLiteral(
                       "Rotationswinkel je Einzelbild in Grad, im Uhrzeigersinn (Vorgabe %1)")
                .arg(m.value);
        case MessageCode::HelpStart:
            return QStringLiteral("Drehung des ersten Einzelbilds in Grad (Vorgabe 0)");
        case MessageCode::HelpSweep:
            return QStringLiteral(
                "Drehung vom ersten bis zum letzten Einzelbild in Grad;\nder Winkel je "
                "Einzelbild ist S / (N - 1)");
        case MessageCode::HelpHorizontal:
            return QStringLiteral("Einzelbilder nebeneinander (Vorgabe)");
        case MessageCode::HelpVertical:
            return QStringLiteral("Einzelbilder untereinander (BMP: höchstens %1 Pixel hoch)")
                .arg(n[0]);
        case MessageCode::HelpNearest:
            return QStringLiteral("nächstes Pixel statt bilinearer Mischung");
        case MessageCode::HelpMaxSize:
            return QStringLiteral("grösste Bildbreite und -höhe (Vorgabe %1, höchstens %2)")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::HelpSize:
            return QStringLiteral(
                "die lange Seite des Knopfs in Pixeln: SVG-Bilder werden so\ngross "
                "gezeichnet, Pixelbilder verkleinert (Vorgabe: die\neigene Grösse des Bildes)");
        case MessageCode::HelpScale:
            return QStringLiteral(
                "SVG-Bilder K-mal so gross zeichnen, einen angegebenen\nRadius ebenso (für "
                "HiDPI: 2); Pixelbilder werden nicht\nvergrössert, sondern abgelehnt");
        case MessageCode::HelpBackground:
            return QStringLiteral(
                       "Transparenz auf diese Farbe legen (Vorgabe: bei PNG\nbleibt sie "
                       "erhalten, bei BMP Grau %1)")
                .arg(m.value);
        case MessageCode::HelpFormat:
            return QStringLiteral(
                "png oder bmp (Vorgabe: nach der Endung von -o; sonst bmp für\n"
                "undurchsichtige BMP-, JPEG-, GIF-, ICO-, CUR- und WMF-Bilder,\n"
                "png für alle übrigen und mit --for)");
        case MessageCode::HelpCompression:
            return QStringLiteral(
                "PNG: fast (am schnellsten), default (Vorgabe) oder small\n(kleinste Datei, "
                "dauert länger); die Pixel sind dieselben");
        case MessageCode::HelpManifest:
            return QStringLiteral("neben jede Sequenz eine JSON-Datei mit ihren Angaben legen");
        case MessageCode::HelpPreview:
            return QStringLiteral(
                "neben jede Sequenz eine HTML-Seite legen, die sie als Knopf\ndreht (durch "
                "Ziehen, Mausrad und Tasten, auf hellem und\ndunklem Grund)");
        case MessageCode::HelpFor:
            return QStringLiteral(
                       "die Sequenz, die ein Toolkit so abspielt, wie sie ist: %1;\n"
                       "ohne Namen: die Liste")
                .arg(m.names.join(QStringLiteral(", ")));
        case MessageCode::HelpEnd:
            return QStringLiteral("Drehung des letzten Einzelbilds in Grad (mit --start)");
        case MessageCode::HelpLayout:
            return QStringLiteral(
                "horizontal, vertical, grid:C (C Einzelbilder je Zeile) oder\n"
                "frames (eine Datei je Einzelbild, nummeriert: _0001)");
        case MessageCode::HelpFirstNumber:
            return QStringLiteral("die Nummer der ersten Einzelbild-Datei, 0 oder 1 (Vorgabe 1)");
        case MessageCode::HelpScales:
            return QStringLiteral(
                "eine Sequenz je Massstab, etwa 1,2 (knopf.png, knopf@2x.png);\n"
                "ein Pixelbild wird dafür verkleinert, nie vergrössert");
        case MessageCode::HelpSquare:
            return QStringLiteral("das Bild mittig auf ein Quadrat seiner langen Seite legen");
        case MessageCode::HelpSide:
            return QStringLiteral(
                "Dateien neben der Sequenz: manifest, kontakt, uidesc, css,\nheader, none");
        case MessageCode::HelpAnimation:
            return QStringLiteral("ein animiertes PNG, das den Bogen hin und zurück abspielt");
        case MessageCode::HelpQuiet:
            return QStringLiteral("keine Zeile für jede geschriebene Datei");
        case MessageCode::HelpVerbose:
            return QStringLiteral("zu jedem Bild auch die Werte, mit denen es gebaut wird");
        case MessageCode::HelpVersion:
            return QStringLiteral("die Version des Programms zeigen");
        case MessageCode::HelpHelp:
            return QStringLiteral("diese Hilfe zeigen");
        case MessageCode::HelpOutput:
            return QStringLiteral(
                "Zieldatei bei einem Bild, sonst ein Ordner (endet auf /);\nVorgabe: "
                "<Bildname>_Seq_H.bmp bzw. _Seq_V.bmp (.png bei\nPNG) im Ordner des Bildes");
        default:
            return {};
    }
}

// The preview page's words.
QString preview(const Message& m) {
    const auto& n = m.numbers;
    switch (m.code) {
        case MessageCode::PreviewTitle:
            return QStringLiteral("Vorschau von %1").arg(m.subject);
        case MessageCode::PreviewFacts:
            return QStringLiteral("%1 Einzelbilder zu %2 x %3 Pixeln, gezählt ab 0")
                .arg(n[0])
                .arg(n[1])
                .arg(n[2]);
        case MessageCode::PreviewHint:
            return QStringLiteral(
                "Den Knopf drehen: nach oben oder unten ziehen, am Mausrad drehen oder die "
                "Pfeiltasten, Bild auf und Bild ab, Pos1 und Ende drücken.");
        case MessageCode::PreviewKnob:
            return QStringLiteral("Knopf");
        case MessageCode::PreviewValue:
            return QStringLiteral("Wert");
        case MessageCode::PreviewFrame:
            return QStringLiteral("Einzelbild");
        case MessageCode::PreviewAngle:
            return QStringLiteral("Winkel");
        case MessageCode::PreviewLight:
            return QStringLiteral("hell");
        case MessageCode::PreviewDark:
            return QStringLiteral("dunkel");
        default:
            return {};
    }
}

}  // namespace

// Each group answers for its codes and gives an empty text for the others.
QString RenderGerman(const Message& m) {
    for (const auto group : {reasons, pictures, strips, usage, help, preview}) {
        QString text = group(m);
        if (!text.isEmpty()) return text;
    }
    return {};
}

}  // namespace Catalog
