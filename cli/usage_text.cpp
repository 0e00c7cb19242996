#include "cli_options.h"
#include "knob_params.h"

namespace StripCli {

QString UsageText() {
    return QStringLiteral(
               "Aufruf: torvelink-cli BILD... [--frames N] [--radius R]\n"
               "                      [--angle A | --sweep S] [--start W]\n"
               "                      [--horizontal | --vertical] [--nearest] [--max-size N]\n"
               "                      [--size N] [--scale K] [--background R,G,B]\n"
               "                      [--format png|bmp] [--manifest] [-o AUSGABE]\n"
               "\n"
               "Baut aus jedem BILD (BMP, JPEG, GIF, ICO, CUR, WMF, PNG, WebP, TIFF oder SVG)\n"
               "eine Knopf-Sequenz und speichert sie.\n"
               "\n"
               "  --frames N      Einzelbilder (Vorgabe %5; unter 1 wird 1)\n"
               "  --radius R      Rotationsradius in Pixeln (Vorgabe: halbe Bildbreite;\n"
               "                  negativ wird 1)\n"
               "  --angle A       Rotationswinkel je Einzelbild in Grad, im Uhrzeigersinn "
               "(Vorgabe %6)\n"
               "  --start W       Drehung des ersten Einzelbilds in Grad (Vorgabe 0)\n"
               "  --sweep S       Drehung vom ersten bis zum letzten Einzelbild in Grad;\n"
               "                  der Winkel je Einzelbild ist S / (N - 1)\n"
               "  --horizontal    Einzelbilder nebeneinander (Vorgabe)\n"
               "  --vertical      Einzelbilder untereinander (BMP: höchstens %1 Pixel hoch)\n"
               "  --nearest       nächstes Pixel statt bilinearer Mischung\n"
               "  --max-size N    grösste Bildbreite und -höhe (Vorgabe %7, höchstens %2)\n"
               "  --size N        SVG-Bilder als Knopf von N x N Pixeln zeichnen\n"
               "                  (Vorgabe: die Grösse, die das SVG-Bild angibt)\n"
               "  --scale K       SVG-Bilder K-mal so gross zeichnen, einen angegebenen\n"
               "                  Radius ebenso (für HiDPI: 2); Pixelbilder werden nicht\n"
               "                  vergrössert, sondern abgelehnt\n"
               "  --background R,G,B  Transparenz auf diese Farbe legen (Vorgabe: bei PNG\n"
               "                  bleibt sie erhalten, bei BMP Grau 192,192,192)\n"
               "  --format F      png oder bmp (Vorgabe: nach der Endung von -o, sonst bmp)\n"
               "  --manifest      neben jede Sequenz eine JSON-Datei mit ihren Angaben legen\n"
               "  -o AUSGABE      Zieldatei bei einem Bild, sonst ein Ordner (endet auf /);\n"
               "                  Vorgabe: <Bildname>_Seq_H.bmp bzw. _Seq_V.bmp (.png bei\n"
               "                  PNG) im Ordner des Bildes\n"
               "\n"
               "Beispiele:\n"
               "  Senkrechte, transparente Sequenz mit 128 Einzelbildern von -135 bis +135 "
               "Grad:\n"
               "    torvelink-cli knopf.png --vertical --frames 128 --start -135 --sweep 270 \\\n"
               "                  --format png\n"
               "  Dieselbe Sequenz doppelt so gross (@2x) aus einem SVG-Bild:\n"
               "    torvelink-cli knopf.svg --size 64 --scale 2 --vertical --frames 128 \\\n"
               "                  --start -135 --sweep 270 -o knopf@2x.png\n"
               "  Mehrere Bilder in einen Ordner, je mit Manifest:\n"
               "    torvelink-cli a.png b.svg c.gif --format png --manifest -o sequenzen/\n"
               "\n"
               "Ein Streifen hat höchstens %3 Pixel und höchstens %4 Pixel je Seite.\n"
               "Rückgabe: 0 alles geschrieben, 1 Ein- oder Ausgabefehler (bei mehreren Bildern:\n"
               "mindestens eines nicht geschrieben), 2 falscher Aufruf.\n")
        .arg(kMaxVerticalStripHeight)
        .arg(kMaxMaxSize)
        .arg(kMaxStripPixels)
        .arg(kMaxStripSide)
        .arg(KnobParams{}.FrameCount)
        .arg(static_cast<double>(KnobParams{}.RotAngle))
        .arg(kCliMaxPictureSide);
}

}  // namespace StripCli
