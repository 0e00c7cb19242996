// The German catalog: every message the two programs show, in the words the
// window has always used. Facts stand in braces (catalog.cpp fills them in).
#include <cerrno>

#include "catalog.h"

namespace Messages {

QString GermanSystemError(int error) {
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
            return QStringLiteral("Fehler {error}");
    }
}

QString GermanText(const Message& m) {
    using enum MessageCode;
    switch (m.code) {
        case None:
        case kCount:
            return {};

        case SystemError:
            return GermanSystemError(m.reason.error);
        case Damaged:
            return QStringLiteral("sie ist beschädigt oder kein Bild");
        case Missing:
            return QStringLiteral("sie existiert nicht");
        case NoReadPermission:
            return QStringLiteral("keine Leseberechtigung");
        case IsFolder:
            return QStringLiteral("es ist ein Ordner");
        case NotAFile:
            return QStringLiteral(
                "sie ist keine gewöhnliche Datei, sondern eine Pipe oder ein Gerät");
        case DrawingTooSlow:
            return QStringLiteral("das Zeichnen dauerte zu lange");
        case PlayerCrashed:
            return QStringLiteral("der Metafile-Leser ist abgestürzt");
        case DrawingTooLarge:
            return QStringLiteral("das Zeichnen braucht zu viel Speicher");
        case PlayerLacksFonts:
            return QStringLiteral(
                "dem Metafile-Leser fehlen seine Schriften (Paket fonts-urw-base35)");
        case RefersToFiles:
            return QStringLiteral("die Zeichnung verweist auf andere Dateien");
        case NoPlayer:
            return QStringLiteral("der Metafile-Leser neben dem Programm fehlt oder startet nicht");
        case SvgPlayerCrashed:
            return QStringLiteral("der SVG-Leser ist abgestürzt");
        case NoSvgPlayer:
            return QStringLiteral("der SVG-Leser neben dem Programm fehlt oder startet nicht");
        case NoPicture:
            return QStringLiteral("kein Bild");
        case NotEncoded:
            return QStringLiteral("das Bild ließ sich nicht umwandeln");
        case NoWriteRight:
            return QStringLiteral("kein Schreibrecht im Ordner");
        case FolderMissing:
            return QStringLiteral("der Ordner existiert nicht");
        case NoNewFiles:
            return QStringLiteral("in diesem Ordner lässt das System niemanden Dateien anlegen");
        case NotAFileUnderName:
            return QStringLiteral("unter diesem Namen steht keine gewöhnliche Datei");
        case ReadOnlyFile:
            return QStringLiteral("die vorhandene Datei ist schreibgeschützt");
        case PicturePlayerCrashed:
            return QStringLiteral("der Bild-Leser ist abgestürzt");
        case NoPicturePlayer:
            return QStringLiteral("der Bild-Leser neben dem Programm fehlt oder startet nicht");
        case ReadingTooSlow:
            return QStringLiteral("das Lesen dauerte zu lange");
        case ReadingTooLarge:
            return QStringLiteral("das Lesen braucht zu viel Speicher");
        case CutShort:
            return QStringLiteral("sie endet vor ihren Bildpunkten");
        case NestedTooDeep:
            return QStringLiteral("sie schachtelt Zeichnungen tiefer als {depth} Ebenen");
        case SizeNotANumber:
            return QStringLiteral("ihre Breite oder Höhe ist keine Zahl");
        case FileTooLong:
            return QStringLiteral("sie ist größer als {mebibytes} MiB");
        case NoTemporaryFolder:
            return QStringLiteral(
                "im Ordner für temporäre Dateien (TMPDIR) kann nichts abgelegt werden");

        case CannotRead:
            return QStringLiteral("Die Datei '{subject}' kann nicht gelesen werden: {reason}.");
        case UnsupportedPicture:
            return QStringLiteral(
                "Die Datei '{subject}' ist kein unterstütztes Bild ({kinds:or}).");
        case EmptyPicture:
            return QStringLiteral("Die Datei '{subject}' enthält kein Bild.");
        case RasterNotScaled:
            return QStringLiteral(
                "Die Datei '{subject}' ist kein SVG-Bild: --scale vergrössert nur SVG-Bilder, ein "
                "Pixelbild würde unscharf; --scales zeichnet es stattdessen für jeden Massstab "
                "kleiner.");
        case PictureTooLarge:
            return QStringLiteral(
                "Maximal erlaubt:{maxSide:padded} x{maxSide:padded} \rDieses Bild "
                "hat:{width:padded} x{height:padded}");
        case PictureFileTooLarge:
            return QStringLiteral(
                "Die Datei '{subject}' ist zu groß.\rMaximal erlaubt:{maxSide:padded} "
                "x{maxSide:padded} \rDieses Bild hat:{width:padded} x{height:padded}");

        case VerticalTooLarge:
            return QStringLiteral("Zu gross für Verikale Sequenz. \rReduziere die Einzelbilder.");
        case StripTooLarge:
            return QStringLiteral(
                "Die Sequenz wäre {width} x {height} Pixel gross. \rMöglich sind höchstens "
                "{maxPixels} Pixel. Reduziere die Einzelbilder.");
        case TooManyFrameFiles:
            return QStringLiteral(
                "Es wären {files} Dateien mit zusammen {pixels} Pixeln; möglich sind höchstens "
                "{maxFiles} Dateien und {maxPixels} Pixel. Reduziere die Einzelbilder.");
        case NoMemoryForStrip:
            return QStringLiteral(
                "Nicht genug Speicher für eine Sequenz von {width} x {height} Pixeln.");
        case CannotSave:
            return QStringLiteral(
                "Die Datei '{subject}' konnte nicht gespeichert werden: {reason}.");
        case DriveNotReady:
            return QStringLiteral("Das Laufwerk '{subject}' ist nicht bereit.");
        case FolderNotListed:
            return QStringLiteral("Der Ordner '{subject}' kann nicht gelesen werden.");

        case CannotMakeFolder:
            return QStringLiteral("Der Ordner '{subject}' kann nicht angelegt werden.");
        case StripWrittenAlready:
            return QStringLiteral(
                "Die Datei '{subject}' wurde eben schon aus einem anderen Bild geschrieben; "
                "dieses Bild wird übersprungen.");
        case PictureNotOverwritten:
            return QStringLiteral(
                "Die Datei '{subject}' ist ein Bild dieses Aufrufs und wird nicht überschrieben.");
        case Progress:
            return QStringLiteral("Bild {index} von {total}: {subject}");
        case Written:
            return QStringLiteral(
                "{subject}: {width} x {height} Pixel, {frames:Einzelbild|Einzelbilder}");
        case WrittenFrames:
            return m.facts.count(Fact::Files) == 1
                       ? QStringLiteral("{subject}: {width} x {height} Pixel")
                       : QStringLiteral(
                             "{subject} und die folgenden: {files} Dateien von {width} x {height} "
                             "Pixeln");
        case PictureParameters:
            return QStringLiteral(
                "{subject}: {frames:Einzelbild|Einzelbilder} von {width} x {height} Pixeln, "
                "Radius {radius}, von {start} bis {end} Grad");
        case UsageSeeHelp:
            return QStringLiteral("Mehr mit '{program} --help'.");
        case WrittenSide:
            return QStringLiteral("{subject}: {reason}");
        case StripProgress:
            return QStringLiteral("{subject}: {index} %");
        case SideManifest:
            return QStringLiteral("die Angaben des Streifens (JSON)");
        case SideKontakt:
            return QStringLiteral("die Bilddatei für Kontakt");
        case SideUidesc:
            return QStringLiteral("eine VSTGUI-Beschreibung");
        case SideCss:
            return QStringLiteral("eine CSS-Regel für ein Sprite");
        case SideHeader:
            return QStringLiteral("ein C- und C++-Header mit den Bytes der Streifen");
        case SidePreview:
            return QStringLiteral("eine Vorschauseite");
        case SideAnimation:
            return QStringLiteral("ein animiertes PNG");
        case ToolkitLine:
            return m.facts.find(Fact::Endings) != nullptr
                       ? QStringLiteral(
                             "{subject}: senkrecht, {frames:Einzelbild|Einzelbilder} von {start} "
                             "bis {end} Grad, PNG, mit {endings}")
                       : QStringLiteral(
                             "{subject}: senkrecht, {frames:Einzelbild|Einzelbilder} von {start} "
                             "bis {end} Grad, PNG");

        case FramesRepaired:
            return QStringLiteral(
                "Warnung: --frames {given} ergibt {frames:Einzelbild|Einzelbilder}.");
        case RadiusIsZero:
            return QStringLiteral(
                "Warnung: Rotationsradius 0: keines der Einzelbilder dreht sich.");
        case FramesNotSquare:
            return QStringLiteral(
                "Warnung: die Einzelbilder sind {width} x {height} Pixel, nicht quadratisch; wer "
                "die Einzelbilder als lange durch kurze Seite zählt, spielt sie falsch ab "
                "(--square macht das Bild quadratisch).");
        case StripOverTextureLimit:
            return m.facts.find(Fact::Frames) != nullptr
                       ? QStringLiteral(
                             "Warnung: der Streifen ist {side} Pixel lang; viele Grafikkarten "
                             "laden höchstens {maxSide} Pixel je Seite (--frames {frames}, ein "
                             "Raster oder eine kleinere --size bleiben darunter).")
                       : QStringLiteral(
                             "Warnung: der Streifen ist {side} Pixel lang; viele Grafikkarten "
                             "laden höchstens {maxSide} Pixel je Seite (ein Raster oder eine "
                             "kleinere --size bleiben darunter).");
        case NoCentreFrame:
            return QStringLiteral(
                "Warnung: bei {frames} Einzelbildern steht keines in der Mitte des Bogens; der "
                "Wert 0,5 zeigt {below} oder {above} Grad ({otherFrames} Einzelbilder haben "
                "eines).");
        case TransparencyOnGrey:
            return QStringLiteral(
                "Warnung: BMP kennt keine Transparenz; sie liegt auf Grau {colour} (--format png "
                "behält sie).");
        case MaxSizeHint:
            return QStringLiteral("Mit --max-size {size} geht es.");
        case RasterNotEnlarged:
            return QStringLiteral(
                "Die Datei '{subject}' hat {width} x {height} Pixel; ein Pixelbild wird nicht auf "
                "{wantedWidth} x {wantedHeight} vergrössert (eine kleinere --size nimmt es).");
        case RadiusRepaired:
            return QStringLiteral("Warnung: --radius {given} ergibt Radius {radius}.");
        case PresetFramesFit:
            return QStringLiteral(
                "Hinweis: {frames} Einzelbilder, die meisten, mit denen der Streifen höchstens "
                "{maxSide} Pixel lang bleibt, so viel wie viele Grafikkarten laden (--frames "
                "{otherFrames} für mehr).");
        case PaddedForScales:
            return QStringLiteral(
                "Hinweis: das Bild von {width} x {height} Pixeln liegt mittig auf {wantedWidth} x "
                "{wantedHeight} mit klarem Rand, einer Grösse, die jeder Massstab teilt (--size "
                "bestimmt stattdessen die Grösse bei 1x).");
        case OneXAdded:
            return QStringLiteral(
                "Hinweis: VSTGUI findet grössere Massstäbe nur neben einem Bild in 1x: ein "
                "Streifen in 1x wird mitgeschrieben.");
        case ToolkitReadsNoBmp:
            return QStringLiteral("Warnung: {subject} liest kein BMP (--format png).");
        case ToolkitVerticalOnly:
            return QStringLiteral(
                "Warnung: {subject} zeichnet nur senkrechte Streifen richtig (ohne --horizontal "
                "und --layout).");
        case ToolkitSquaresFrames:
            return QStringLiteral(
                "Hinweis: {subject} zählt die Einzelbilder als lange durch kurze Seite: das Bild "
                "liegt mittig auf einem Quadrat, wie --square es legt.");
        case ToolkitScaleNotFound:
            return QStringLiteral(
                "Warnung: {subject} findet nur ganze Massstäbe bis {high} (@2x); den Streifen "
                "{value} lädt es nicht.");
        case DegreesNotRadians:
            return QStringLiteral(
                "Warnung: der ganze Bogen misst {angle} Grad; Winkel sind in Grad (eine "
                "Dreivierteldrehung ist --sweep 270).");

        case UnknownOption:
            return m.value.isEmpty()
                       ? QStringLiteral("Unbekannte Option '{subject}'.")
                       : QStringLiteral("Unbekannte Option '{subject}'. Gemeint ist wohl {value}.");
        case OptionNeedsValue:
            return QStringLiteral("{subject} braucht einen Wert.");
        case NotANumber:
            return QStringLiteral("{subject} erwartet eine Zahl, nicht '{value}'.");
        case DecimalPoint:
            return QStringLiteral(
                "{subject} erwartet eine Zahl mit Dezimalpunkt (1.5), nicht '{value}'.");
        case WordExpected:
            return m.facts.find(Fact::Meant) != nullptr
                       ? QStringLiteral(
                             "{subject} erwartet {choices:or}, nicht '{value}'. Gemeint ist wohl "
                             "{meant}.")
                       : QStringLiteral("{subject} erwartet {choices:or}, nicht '{value}'.");
        case WordsExpected:
            return QStringLiteral(
                "{subject} erwartet {choices:or}, mit Kommas getrennt, nicht '{value}'.");
        case NumberExpected:
            return QStringLiteral("{subject} erwartet eine ganze Zahl von {low} bis {high}.");
        case NumberAboveZero:
            return QStringLiteral("{subject} erwartet eine Zahl über 0 bis {high}.");
        case NumbersExpected:
            return QStringLiteral(
                "{subject} erwartet Zahlen von {low} bis {high}, mit Kommas getrennt, nicht "
                "'{value}'.");
        case ColourExpected:
            return QStringLiteral(
                "{subject} erwartet eine Farbe, #RRGGBB, #RRGGBBAA oder R,G,B mit ganzen Zahlen "
                "von 0 bis 255, nicht '{value}'.");
        case PointExpected:
            return QStringLiteral("{subject} erwartet X,Y in Pixeln, nicht '{value}'.");
        case CanvasExpected:
            return QStringLiteral(
                "{subject} erwartet B,H, ganze Pixel von {low} bis {high}, nicht '{value}'.");
        case ArcExpected:
            return QStringLiteral(
                "{subject} erwartet eine Farbe, danach vielleicht Breite und Radius in Pixeln "
                "(#ff8800,4,40), nicht '{value}'.");
        case NumberBetween:
            return QStringLiteral(
                "{subject} erwartet eine Zahl von {low} bis {high}, nicht '{value}'.");
        case OutputNeedsName:
            return QStringLiteral("{subject} braucht einen Datei- oder Ordnernamen.");
        case NoPictureGiven:
            return QStringLiteral("Kein Bild angegeben.");
        case OptionNeeds:
            return QStringLiteral("{subject} braucht {value}.");
        case OptionsExclude:
            return QStringLiteral("{subject} und {value} schliessen sich aus.");
        case OutputEndingUnknown:
            return QStringLiteral("-o '{subject}': geschrieben werden nur {formats:and}.");
        case RecipeNotJson:
            return QStringLiteral(
                "Die Datei '{subject}' ist kein Rezept: sie ist kein JSON (siehe Byte {index}).");
        case RecipeUnknownKey:
            return QStringLiteral("'{subject}': {value} ist kein Schlüssel eines Rezepts.");
        case RecipeWantsNumber:
            return QStringLiteral("'{subject}': {value} muss eine Zahl sein.");
        case RecipeWantsText:
            return QStringLiteral("'{subject}': {value} muss ein Text in Anführungszeichen sein.");
        case RecipeWantsSwitch:
            return QStringLiteral("'{subject}': {value} muss true oder false sein.");
        case RecipeWantsList:
            return QStringLiteral("'{subject}': {value} muss eine Liste in eckigen Klammern sein.");
        case RecipeWantsObject:
            return QStringLiteral(
                "'{subject}': {value} muss ein Objekt in geschweiften Klammern sein.");
        case RecipeWantsPoint:
            return QStringLiteral("'{subject}': {value} muss zwei Zahlen sein, [x, y].");
        case RecipeFileOutside:
            return QStringLiteral(
                "'{subject}': {value} nennt '{path}', das nicht im Ordner des Rezepts liegt; "
                "ein Rezept darf nur die Dateien neben sich verwenden.");
        case RecipeNeedsPicture:
            return QStringLiteral("Das Rezept '{subject}' nennt weder ein Bild noch Ebenen.");
        case RecipeLayerNeedsOne:
            return QStringLiteral(
                "'{subject}': {value} braucht entweder eine Datei oder einen Bogen.");
        case RecipeOneMotion:
            return QStringLiteral(
                "'{subject}': {value} darf sich drehen, gleiten oder überblenden, nur eines "
                "davon.");
        case OutputMustBeFolder:
            return QStringLiteral(
                "Bei mehreren Bildern muss -o ein Ordner sein (mit / am Ende): '{subject}'.");
        case OutputFormatMismatch:
            return QStringLiteral("-o '{subject}' passt nicht zu --format {value}.");

        case NameOnNoLine:
            return QStringLiteral(
                "'{subject}': Ein Name mit Zeilenumbruch kann in keiner Dateiliste und keiner "
                "Abhängigkeitsdatei stehen.");
        case FormatFollowsPicture:
            return QStringLiteral(
                "'{subject}': Ob der Streifen BMP oder PNG wird, hängt von seiner Transparenz "
                "ab; --list-outputs braucht --format oder --for, um ihn zu nennen.");
        case EmbedNameRefused:
            return QStringLiteral(
                "{subject} erwartet eine C- oder C++-Quelldatei (.c, .cc, .cpp oder .cxx) ohne "
                "Anführungszeichen, Backslash oder Zeilenumbruch im Namen, nicht '{value}'.");
        case NamespaceRefused:
            return QStringLiteral(
                "{subject} erwartet einen C-Bezeichner (Buchstaben, Ziffern und einzelne "
                "Unterstriche, vorne ein Buchstabe, kein Schlüsselwort), nicht '{value}'.");
        case EmbedOnePicture:
            return QStringLiteral(
                "--embed '{subject}' enthält die Streifen eines Bildes: Gib ein Bild oder ein "
                "Rezept an.");
        case FilesShareName:
            return QStringLiteral(
                "Zwei Dateien dieses Aufrufs hiessen '{subject}'; keine wird geschrieben.");
        case WatchStarted:
            return QStringLiteral(
                "Beobachte {files:Datei|Dateien} auf Änderungen; Strg-C beendet.");
        case WatchRebuilt:
            return QStringLiteral("{subject} geändert: {files:Datei|Dateien} neu geschrieben");
        case WatchKept:
            return QStringLiteral(
                "{subject} geändert: nichts geschrieben, die letzten Dateien bleiben");
        case SideDependencies:
            return QStringLiteral("die Abhängigkeitsdatei für make und ninja");
        case SideEmbedSource:
            return QStringLiteral("C- und C++-Quelltext mit den Bytes der Streifen");
        case SideEmbedHeader:
            return QStringLiteral("der Header, der die Streifen deklariert");
        case HelpDepfile:
            return QStringLiteral(
                "eine Abhängigkeitsdatei für make schreiben: jede geschriebene\nDatei hängt von "
                "jeder gelesenen ab (Bild, Ebenen, Rezept), für\nmake, ninja und DEPFILE in "
                "CMake; nur geschrieben, wenn alles\ngeschrieben ist");
        case HelpListOutputs:
            return QStringLiteral(
                "jede Datei nennen, die der Aufruf schriebe, eine je Zeile, und\nnichts "
                "schreiben");
        case HelpWatch:
            return QStringLiteral(
                "nach dem Schreiben jede gelesene Datei beobachten und bei einer\nÄnderung neu "
                "schreiben, bis Strg-C");
        case HelpEmbed:
            return QStringLiteral(
                "auch diese C-Quelldatei (.c oder .cpp) und ihren Header (.h)\nschreiben, mit "
                "den Bytes und Angaben jedes Streifens, für ein\nProgramm zum Linken");
        case HelpEmbedNamespace:
            return QStringLiteral(
                "der Namensraum der Namen von --embed in C++, ihr Präfix in C\n(Vorgabe strips)");

        case UsageCall:
            return QStringLiteral("Aufruf: {program}");
        case UsagePicture:
            return QStringLiteral("BILD");
        case UsageOutputName:
            return QStringLiteral("AUSGABE");
        case UsageToolkit:
            return QStringLiteral("TOOLKIT");
        case UsageIntro:
            return QStringLiteral(
                "Baut aus jedem BILD ({kinds:or})\neine Knopf-Sequenz und speichert sie.\n"
                "Den Knopf auf 12 Uhr zeigend zeichnen: Winkel sind in Grad und drehen\nvon dort "
                "im Uhrzeigersinn (-135 ist halb acht, 135 halb fünf).");
        case UsageExamples:
            return QStringLiteral(
                "Beispiele:\n"
                "  Die Sequenz, die JUCE so abspielt, wie sie ist (senkrecht, PNG),\n"
                "  knopf_Seq_V.png:\n"
                "    {program} knopf.png --for juce\n"
                "  Senkrecht, transparent, 129 Einzelbilder von -135 bis +135 Grad:\n"
                "    {program} knopf.png --vertical --frames 129 --start -135 --end 135 \\\n"
                "                  --format png\n"
                "  Aus einem SVG-Bild von 64 Pixeln, einfach und doppelt so gross\n"
                "  (knopf_Seq_V.png, knopf_Seq_V#2.0x.png und knopf_Seq_V.uidesc):\n"
                "    {program} knopf.svg --for vstgui --size 64 --scales 1,2\n"
                "  Mehrere Bilder in den Ordner sequenzen, je mit Manifest\n"
                "  (sequenzen/a_Seq_H.png, sequenzen/a_Seq_H.json, ...):\n"
                "    {program} a.png b.svg c.gif --format png --manifest -o sequenzen/\n");
        case UsageLimits:
            return QStringLiteral(
                "Ein Streifen hat höchstens {maxPixels} Pixel und höchstens {maxSide} Pixel je "
                "Seite.");
        case UsageExitStatus:
            return QStringLiteral(
                "Rückgabe: 0 alles geschrieben, 1 Ein- oder Ausgabefehler (bei mehreren "
                "Bildern:\nmindestens eines nicht geschrieben), 2 falscher Aufruf.");
        case ManName:
            return QStringLiteral("baut Knopf-Sequenzen aus Bildern");
        case ManSynopsis:
            return QStringLiteral("ÜBERSICHT");
        case ManDescription:
            return QStringLiteral("BESCHREIBUNG");
        case ManOptions:
            return QStringLiteral("OPTIONEN");
        case ManExitStatus:
            return QStringLiteral("RÜCKGABEWERT");
        case ManExamples:
            return QStringLiteral("BEISPIELE");

        case HelpFrames:
            return QStringLiteral("Einzelbilder (Vorgabe {frames}; unter 1 wird 1)");
        case HelpRadius:
            return QStringLiteral(
                "Rotationsradius in Pixeln (Vorgabe: halbe Bildbreite;\nnegativ wird 1)");
        case HelpAngle:
            return QStringLiteral(
                "Rotationswinkel je Einzelbild in Grad, im Uhrzeigersinn (Vorgabe {angle})");
        case HelpStart:
            return QStringLiteral(
                "Drehung des ersten Einzelbilds in Grad, im Uhrzeigersinn vom Bild, wie es "
                "gezeichnet ist (Vorgabe 0)");
        case HelpSweep:
            return QStringLiteral(
                "Drehung vom ersten bis zum letzten Einzelbild in Grad;\nder Winkel je "
                "Einzelbild ist S / (N - 1)");
        case HelpHorizontal:
            return QStringLiteral("Einzelbilder nebeneinander (Vorgabe)");
        case HelpVertical:
            return QStringLiteral(
                "Einzelbilder untereinander (BMP: höchstens {maxSide} Pixel hoch)");
        case HelpNearest:
            return QStringLiteral("nächstes Pixel statt bilinearer Mischung");
        case HelpRoutine:
            return QStringLiteral(
                "wie Pixel gedreht werden: window (bilineare Mischung wie das Fenster),\n"
                "nearest oder sharp (kubisch, scharf); ohne: window, mit --for sharp;\n"
                "eine Zeichnung wird ohne --routine als Zeichnung gedreht");
        case HelpOversample:
            return QStringLiteral(
                "Zeichnung und Wertbogen N-fach gross zeichnen und gemittelt\n"
                "verkleinern (Vorgabe: 4 für eine als Zeichnung gedrehte Zeichnung,\n"
                "soweit ihre Grösse es erlaubt, sonst 1)");
        case HelpMaxSize:
            return QStringLiteral(
                "grösste Bildbreite und -höhe (Vorgabe {size}, höchstens {maxSide})");
        case HelpSize:
            return QStringLiteral(
                "die lange Seite des Knopfs in Pixeln: SVG-Bilder werden so\ngross gezeichnet, "
                "Pixelbilder verkleinert (Vorgabe: die\neigene Grösse des Bildes)");
        case HelpScale:
            return QStringLiteral(
                "SVG-Bilder K-mal so gross zeichnen, einen angegebenen\nRadius ebenso (für "
                "HiDPI: 2); Pixelbilder werden nicht\nvergrössert, sondern abgelehnt");
        case HelpBackground:
            return QStringLiteral(
                "Transparenz auf diese Farbe legen (Vorgabe: bei PNG\nbleibt sie erhalten, bei "
                "BMP Grau {colour})");
        case HelpFormat:
            return QStringLiteral(
                "{choices:or} (Vorgabe: nach der Endung von -o; sonst bmp für\n"
                "undurchsichtige BMP-, JPEG-, GIF-, ICO-, CUR- und WMF-Bilder,\n"
                "png für alle übrigen und mit --for)");
        case HelpCompression:
            return QStringLiteral(
                "PNG: {choices:or} (small: kleinste Datei, dauert\nlänger); die Pixel sind "
                "dieselben");
        case HelpUnder:
            return QStringLiteral(
                "eine feste Ebene unter dem Bild (ein Schatten), mittig; darf wiederholt werden");
        case HelpOver:
            return QStringLiteral(
                "eine feste Ebene über dem Bild (Glanz, eine Skala), mittig; darf wiederholt "
                "werden");
        case HelpMotion:
            return QStringLiteral(
                "wie sich das Bild mit dem Wert bewegt: {choices:or} (Vorgabe turn); mit "
                "Ebenen dreht es sich ganz, nicht in einer Scheibe");
        case HelpSlideFrom:
            return QStringLiteral(
                "die linke obere Ecke des gleitenden Bildes auf der Leinwand beim Wert 0 "
                "(Vorgabe: mittig)");
        case HelpSlideTo:
            return QStringLiteral("die linke obere Ecke des gleitenden Bildes beim Wert 1");
        case HelpFadeFrom:
            return QStringLiteral(
                "die Deckkraft des überblendenden Bildes beim Wert 0, {low} bis {high} "
                "(Vorgabe 0)");
        case HelpFadeTo:
            return QStringLiteral("seine Deckkraft beim Wert 1 (Vorgabe 1)");
        case HelpArc:
            return QStringLiteral(
                "ein Wertbogen über dem Bild, vom Anfang des Bogens bis zum Winkel des Werts: "
                "seine Farbe (#RRGGBB oder #RRGGBBAA), Breite und Radius in Pixeln");
        case HelpArcTrack:
            return QStringLiteral("die Farbe des übrigen Bogens");
        case HelpArcFrom:
            return QStringLiteral(
                "wo der Bogen beginnt: {choices:or} (middle: Panorama- und bipolare Knöpfe)");
        case HelpArcEnds:
            return QStringLiteral("die Enden des Bogens: {choices:or}");
        case HelpCanvas:
            return QStringLiteral(
                "die Grösse der Leinwand, auf der die Ebenen liegen, bei 1x (Vorgabe: die "
                "grösste Ebene)");
        case HelpManifest:
            return QStringLiteral("neben jede Sequenz eine JSON-Datei mit ihren Angaben legen");
        case HelpPreview:
            return QStringLiteral(
                "neben jede Sequenz eine HTML-Seite legen, die sie als Knopf\ndreht (durch "
                "Ziehen, Mausrad und Tasten, auf hellem und\ndunklem Grund)");
        case HelpOutput:
            return QStringLiteral(
                "Zieldatei bei einem Bild (Endung .png oder .bmp), sonst ein Ordner, der angelegt "
                "wird, wenn er fehlt (ein Name ohne Endung ist ein Ordner); Vorgabe: "
                "<Bildname>_Seq_H.bmp bzw. _Seq_V.bmp (.png bei PNG) im Ordner des Bildes");
        case HelpFor:
            return QStringLiteral(
                "die Sequenz, die ein Toolkit so abspielt, wie sie ist: {choices};\n"
                "ohne Namen: die Liste");
        case HelpEnd:
            return QStringLiteral("Drehung des letzten Einzelbilds in Grad (mit --start)");
        case HelpLayout:
            return QStringLiteral(
                "{choices:or}: grid:C legt C Einzelbilder in eine Zeile,\nframes schreibt eine "
                "Datei je Einzelbild, nummeriert: _0001");
        case HelpFirstNumber:
            return QStringLiteral(
                "die Nummer der ersten Einzelbild-Datei, {choices:or} (Vorgabe 1)");
        case HelpScales:
            return QStringLiteral(
                "eine Sequenz je Massstab von {low} bis {high}, etwa 1,2 (knopf_Seq_H.png, "
                "knopf_Seq_H@2x.png); ein Pixelbild wird dafür verkleinert, nie vergrössert");
        case HelpSquare:
            return QStringLiteral("das Bild mittig auf ein Quadrat seiner langen Seite legen");
        case HelpSide:
            return QStringLiteral("Dateien neben der Sequenz, mit Kommas getrennt: {choices}");
        case HelpAnimation:
            return QStringLiteral("ein animiertes PNG, das den Bogen hin und zurück abspielt");
        case HelpQuiet:
            return QStringLiteral("keine Zeile für jede geschriebene Datei");
        case HelpVerbose:
            return QStringLiteral("zu jedem Bild auch die Werte, mit denen es gebaut wird");
        case HelpVersion:
            return QStringLiteral("die Version des Programms zeigen");
        case HelpHelp:
            return QStringLiteral("diese Hilfe zeigen");

        case PreviewTitle:
            return QStringLiteral("Vorschau von {subject}");
        case PreviewFacts:
            return QStringLiteral(
                "{frames:Einzelbild|Einzelbilder} zu {width} x {height} Pixeln, gezählt ab 0");
        case PreviewHint:
            return QStringLiteral(
                "Den Knopf drehen: nach oben oder unten ziehen, am Mausrad drehen oder die "
                "Pfeiltasten, Bild auf und Bild ab, Pos1 und Ende drücken.");
        case PreviewSliderHint:
            return QStringLiteral(
                "Den Schieberegler bewegen: entlang seiner Bahn ziehen, am Mausrad drehen oder "
                "die Pfeiltasten, Bild auf und Bild ab, Pos1 und Ende drücken.");
        case PreviewKnob:
            return QStringLiteral("Knopf");
        case PreviewSlider:
            return QStringLiteral("Schieberegler");
        case PreviewValue:
            return QStringLiteral("Wert");
        case PreviewFrame:
            return QStringLiteral("Einzelbild");
        case PreviewAngle:
            return QStringLiteral("Winkel");
        case PreviewLight:
            return QStringLiteral("hell");
        case PreviewDark:
            return QStringLiteral("dunkel");
    }
    return {};
}

}  // namespace Messages
