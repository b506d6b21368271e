#include "core/lang/BuiltInTexts.h"

#include <array>

#include "core/text/CodePages.h"

namespace zobl {

namespace {

// One row per added key, in the file's order of sections and keys. The texts are those of
// data/zobl_ge.rtx; a new key goes there, into docs/language-keys.md and here.
constexpr std::array kTexts = {
    BuiltInText{"DATA", 1023,
                "Halbtransparenz gefunden! (Fahrzeuge unterstützen dieses Feature nicht!) Grp=%d Car=%d "
                "Idx=%d"},
    BuiltInText{"DATA", 1024,
                "TRAK-Hintergrundfarbe gefunden! (Fahrzeuge unterstützen dieses Feature nicht!) Grp=%d "
                "Car=%d Idx=%d"},
    BuiltInText{"DATA", 1052, "TRAK-Fahrzeugmerkmal 0x8000"},
    BuiltInText{"DATA", 1053, "TRAK-Fahrzeugmerkmal 0x0001"},
    BuiltInText{"DATA", 1054, "TRAK-Fahrzeugmerkmal 0x0040"},
    BuiltInText{"DATA", 1055, "Weder TRAK-Fahrzeugmerkmal 0x0020 noch 0x0010"},
    BuiltInText{"DATA", 1056, "TRAK-Fahrzeugmerkmal 0x0020"},
    BuiltInText{"DATA", 1057, "TRAK-Fahrzeugmerkmal 0x0010"},
    BuiltInText{"DATA", 1061, "PNG-Bilder (*.png)|*.png|Alle Dateien (*.*)|*.*||"},
    BuiltInText{"DATA", 1068, "de_DE"},
    BuiltInText{
        "DATA", 1070,
        "GIMP-Palette (*.gpl)|*.gpl|JASC-Palette (*.pal)|*.pal|Hex-Farbliste (*.hex)|*.hex|Farbfelder als "
        "PNG-Bild (*.png)|*.png||"},
    BuiltInText{"DATA", 1071, "TRAK-Farben (Tag)"},
    BuiltInText{"DATA", 1072, "TRAK-Farben (Nacht %d)"},
    BuiltInText{"DIALOGS", 3932, "Ungesicherte Änderungen wiederherstellen"},
    BuiltInText{"DIALOGS", 3933,
                "Das Programm wurde zuletzt nicht ordnungsgemäß beendet. Von diesen Dokumenten gibt es "
                "ungesicherte Änderungen. Ein geöffnetes Dokument ist noch nicht gespeichert; beim ersten "
                "Speichern wird sein bisheriger Name vorgeschlagen."},
    BuiltInText{"DIALOGS", 3934, "Ö&ffnen"},
    BuiltInText{"DIALOGS", 3935, "&Verwerfen"},
    BuiltInText{"DIALOGS", 3936, "&Später"},
    BuiltInText{"DIALOGS", 3937, "%1 – %2, Stand %3"},
    BuiltInText{"DIALOGS", 3938, "nie gespeichert"},
    BuiltInText{"DIALOGS", 3939, "%1 (wiederhergestellt)"},
    BuiltInText{"DIALOGS", 3940, "Pi&xelraster zeigen ab Zoomstufe (1-16):"},
    BuiltInText{"DIALOGS", 3941, "Raster"},
    BuiltInText{"DIALOGS", 3942, "&Pixelraster:"},
    BuiltInText{"DIALOGS", 3943, "S&ymbolraster:"},
    BuiltInText{"DIALOGS", 3944, "%1 – Fahrzeuge: %2, Länge: %3 Pixel, Segmente: %4"},
    BuiltInText{"DIALOGS", 3945, "Tag"},
    BuiltInText{"DIALOGS", 3946, "Nacht 1"},
    BuiltInText{"DIALOGS", 3947, "Nacht 2"},
    BuiltInText{"DIALOGS", 3948, "Nacht 3"},
    BuiltInText{"DIALOGS", 3949, "%1 – dieser Fahrzeugsatz hat noch keine Fahrzeuge"},
    BuiltInText{"DIALOGS", 3950,
                "Farben bei Tag oder in einem der drei Nachtzustände (wie „Tag/Nacht umschalten“)"},
    BuiltInText{"DIALOGS", 3951, "%1 Pixel"},
    BuiltInText{"DIALOGS", 3955, "Farbleiste lösen oder andocken"},
    BuiltInText{"DIALOGS", 3956, "Farbleiste schließen"},
    BuiltInText{"DIALOGS", 3957, "Schaltflächenleiste"},
    BuiltInText{"DIALOGS", 3958, "Maus-Modi"},
    BuiltInText{"DIALOGS", 3959, "Farben"},
    BuiltInText{"DIALOGS", 3960, "Diese Zeichen kann die Datei nicht speichern: %1"},
    BuiltInText{"DIALOGS", 3961, "Fahrzeug „%1“, %2, Segment %3 von %4"},
    BuiltInText{"DIALOGS", 3962, "TRAK kennt diese Zeichen nicht, die Exportdateien erhalten dafür „?“:"},
    BuiltInText{"DIALOGS", 3963, "Fahrzeugsatz „%1“: %2"},
    BuiltInText{"DIALOGS", 3964, "Fahrzeug „%1“ (Fahrzeugsatz „%2“): %3"},
    BuiltInText{"DIALOGS", 3970, "Palette exportieren ..."},
    BuiltInText{"DIALOGS", 3980, "PNG importieren"},
    BuiltInText{"DIALOGS", 3981, "PNG-&Datei:"},
    BuiltInText{"DIALOGS", 3982, "D&urchsuchen ..."},
    BuiltInText{"DIALOGS", 3983, "&Farben ohne Palettenfarbe auf die nächste gewöhnliche Farbe abbilden"},
    BuiltInText{"DIALOGS", 3984, "%1: %2 Pixel auf die nächste gewöhnliche Farbe abgebildet"},
    BuiltInText{"DIALOGS", 3985, "Das Bild %1 enthält Pixel ohne Palettenfarbe: %2, das erste bei %3,%4."},
    BuiltInText{"DIALOGS", 3986, "Das Bild %1 ist %2 x %3 Pixel groß, eine Grafik hat %4 x %5 Pixel."},
    BuiltInText{"DIALOGS", 3987,
                "Das Bild %1 ist %2 x %3 Pixel groß, die Fahrzeugsätze und Fahrzeuge dieses Dokuments "
                "brauchen %4 x %5 Pixel."},
    BuiltInText{"DIALOGS", 3988, "Als PNG exportieren"},
    BuiltInText{
        "DIALOGS", 3989,
        "%1: In diesen Teilsymbolen wurde gezeichnet, sie können nach den Regeln der Teilsymbole aber nicht "
        "angelegt werden. Ihre Pixel bleiben in der Datei, werden aber nicht angezeigt: %2"},
    BuiltInText{"DIALOGS", 3990, "Symbol %1, Zeile %2"},
    BuiltInText{"DIALOGS", 3991, "Spra&che:"},
    BuiltInText{"DIALOGS", 3992, "Deutsch"},
    BuiltInText{"DIALOGS", 3993, "English"},
    BuiltInText{"DIALOGS", 3994, "Automatisch"},
    BuiltInText{"DIALOGS", 3995, "Die Sprache wechselt beim nächsten Start des Programms."},
    BuiltInText{
        "DIALOGS", 3996,
        "Einträge in der Systemregistrierung wurden entfernt, und die INI-Datai (falls vorhanden) wurde "
        "gelöscht."},
    BuiltInText{
        "DIALOGS", 3997,
        "Es wurde nicht jeder Eintrag in der Systemregistrierung (oder die ganze INI-Datei) entfernt."},
    BuiltInText{"Errors", 6120,
                "Dieses Fahrzeug hat keine Bilder (Länge 0) und kann nicht importiert werden."},
    BuiltInText{
        "Errors", 6121,
        "TRAK wurde nicht gefunden. Die Fahrzeugdaten TRAK.ZGG und TRAK.FZG liegen weder im aktuellen "
        "Ordner noch in dem Ordner, den TRAK als Installationsort angibt (T381_PFAD)."},
    BuiltInText{"Errors", 6122,
                "Die Wiederherstellungskopie von % konnte nicht geschrieben werden. Bis das Dokument "
                "gespeichert ist, sind seine Änderungen bei einem Absturz nicht geschützt."},
    BuiltInText{"Errors", 6123, "Keine Fahrzeuge der gewählten Kategorien gefunden."},
    BuiltInText{"Errors", 6124,
                "Das Fahrzeug % ist länger als 32 Segmente (256 Pixel) und kann nicht importiert werden."},
    BuiltInText{"Errors", 6130,
                "Das Bild in der System-Zwischenablage kann nicht gelesen werden. Es ist zu groß oder "
                "beschädigt; eingefügt werden Bilder bis 8192 x 8192 Pixel."},
    BuiltInText{"Errors", 6140,
                "Eine Palette wird als .gpl, .pal, .hex oder .png gespeichert. Der Name % hat keine dieser "
                "Endungen."},
    BuiltInText{"Errors", 6141,
                "% Es wurde nichts geändert. Mit dem Häkchen „Farben ohne Palettenfarbe auf die nächste "
                "gewöhnliche Farbe abbilden“ werden diese Pixel abgebildet."},
    BuiltInText{"Errors", 6142, "% Es wurde nichts geändert."},
    BuiltInText{"Errors", 6143,
                "Das Bild % zeigt die Farben einer Nachtstufe und ist nur zum Ansehen gedacht. Bitte ein "
                "Bild in den Tagesfarben importieren. Es wurde nichts geändert."},
    BuiltInText{
        "Errors", 6144,
        "Die Datei % ist ein Bild, kein Dokument. Zum Einfügen das Bild auf ein Grafik- oder Fahrzeugfenster "
        "ziehen; einen ganzen Bogen holt „Datei > PNG importieren ...“ in das aktive Dokument."},
    BuiltInText{"Errors", 6306,
                "Alle Änderungen seit dem letzten Speichern verwerfen und die Datei % neu laden?"},
    BuiltInText{"Errors", 6307, "Die ungesicherten Änderungen an % gehen endgültig verloren. Verwerfen?"},
    BuiltInText{"Errors", 6310,
                "Die Datei % ist beschädigt. Soll geöffnet werden, was sich aus ihr lesen ließ? Es wird ein "
                "neues Dokument ohne Dateinamen; die Datei selbst bleibt, wie sie ist."},
    BuiltInText{"MENU", 1110, "Als &PNG exportieren ..."},
    BuiltInText{"MENU", 1111, "PN&G importieren ..."},
    BuiltInText{"MENU", 1112, "&Zugansicht als PNG speichern"},
    BuiltInText{"MENU", 1120, "&Pixelraster"},
    BuiltInText{"MENU", 1121, "S&ymbolraster"},
    BuiltInText{"MENU", 1130, "&Ganzes Bild\tStrg+0"},
    BuiltInText{"MENU", 1837, "Weitere Schaltflächen"},
    BuiltInText{"MENU", 2115, "&Zugansicht als PNG speichern"},
    BuiltInText{"STATE", 7070, "Schreibt das Dokument als PNG-Bild, zum Bearbeiten in anderen Malprogrammen"},
    BuiltInText{"STATE", 7071, "Liest ein PNG-Bild in das aktive Dokument zurück (ein Rückgängig-Schritt)"},
    BuiltInText{"STATE", 7072,
                "Zeigt Linien zwischen den vergrößerten Pixeln, ab der Zoomstufe aus den Einstellungen"},
    BuiltInText{"STATE", 7073, "Umrandet jedes Feld von 32 x 16 Pixeln, im Fahrzeug-Editor jedes Segment"},
    BuiltInText{"STATE", 7074,
                "Speichert den gewählten Fahrzeugsatz als Zug, wie ihn die Zugansicht zeigt, als PNG-Bild"},
    BuiltInText{"STATE", 7078, "Wählt die größte Vergrößerung, bei der das ganze Bild ins Fenster passt"},
    BuiltInText{"STATE", 7079, "Zoom %1"},
    BuiltInText{"STATE", 7080, "UF"},
    BuiltInText{"STATE", 7081, "NUM"},
    BuiltInText{"STATE", 7082, "RF"},
};

}  // namespace

std::span<const BuiltInText> BuiltInTexts() {
    return kTexts;
}

std::optional<std::string_view> FindBuiltInText(int key, std::string_view section) {
    for (const BuiltInText& entry : kTexts) {
        if (entry.key == key && EqualsIgnoringAsciiCase(entry.section, section)) {
            return entry.text;
        }
    }
    return std::nullopt;
}

}  // namespace zobl
