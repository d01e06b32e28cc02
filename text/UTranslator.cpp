#include "text/UTranslator.h"

#include <array>
#include <span>

namespace {

// One row of the built-in dictionary; a null German text means German has no entry.
struct TDictionaryRow {
    const char* English;
    const char* Czech;
    const char* German;
};

constexpr std::array<TDictionaryRow, 36> BuiltInDictionary{{
    {"Load Data", "Načíst data", "Daten laden"},
    {"Save Data", "Uložit data", "Daten speichern"},
    {"Clear Data", "Smazat data", "Data löschen"},
    {"Connect", "Připojit", "Verbinden"},
    {"Disconnect", "Odpojit", "Trennen"},
    {"Imperial", "Imperiální", "Imperial"},
    {"Metrical", "Metrický", "Metrisch"},
    {"Do you really want to clear all values?", "Opravdu chcete smazat všechny hodnoty?",
     "Möchten Sie wirklich alle Data löschen?"},
    {"Do you really want to convert all values?", "Opravdu chcete zkonvertovat všechny hodnoty?",
     "Wollen Sie alle Werte konvertieren?"},
    {"Some rounding inaccuracy can occur.", "Mohou se objevit zaokrouhlovací nepřenosti.",
     "Ungenauigkeiten können aufgrund von Rundungen erfolgen."},
    {"Connected (%s)", "Připojeno (%s)", "Verbunden  (%s)"},
    {"Disconnected", "Odpojeno", "Getrennt"},
    {"Unknown COM", "Nezadaný COM", "Unbekannt COM"},
    {"Pelet Weight", "Hmotnost střely", nullptr},
    {"Pelet Weight [%s]", "Hmotnost střely [%s]", "Schussgewicht [%s]"},
    {"No.", "č.", "Nb."},
    {"Speed [%s]", "Rychlost [%s]", "Geschwindigkeit [%s]"},
    {"Energy [%s]", "Energie [%s]", "Energie [%s]"},
    {"Shots", "Výstřely", "Schüsse"},
    {"MAX Speed [%s]", "MAX rychlost [%s]", "MAX Geschwindigkeit [%s]"},
    {"MIN Speed [%s]", "MIN rychlost [%s]", "MIN Geschwindigkeit [%s]"},
    {"AVG Speed [%s]", "AVG rychlost [%s]", "AVG Geschwindigkeit [%s]"},
    {"MAX Energy [%s]", "MAX Energie [%s]", "MAX Energie [%s]"},
    {"MIN Energy [%s]", "MIN Energie [%s]", "MIN Energie [%s]"},
    {"AVG Energy [%s]", "AVG Energie [%s]", "AVG Energie [%s]"},
    {"Statistics", "Statistika", "Statistik"},
    {"Shot", "Výstřel", "Schuss"},
    {"Energy", "Energie", "Energie"},
    {"Speed", "Rychlost", "Geschwindigkeit"},
    {"Units", "Jednotky", "Einheiten"},
    {"Shot: %s; Speed: %s %s; Energy: %s %s", "Výstřel: %s; Rychlost: %s %s; Energie: %s %s",
     "Schuss: %s; Geschwindigkeit: %s %s; Energie: %s %s"},
    {"Setup", "Nastavení", "Einstellung"},
    {"Live", "Živě", "Live"},
    {"Close", "Zavřít", "Schließen"},
    {"Language", "Jazyk", "Sprache"},
    {"Limits", "Limity", "Limiten"},
}};

// Texts that help a user when the chronograph's port fails; they follow the table above so
// that its entries keep their places.
constexpr std::array<TDictionaryRow, 5> HelpDictionary{{
    {"The device %s cannot be opened: you are not allowed to use it.",
     "Zařízení %s nelze otevřít: nemáte oprávnění jej používat.",
     "Das Gerät %s kann nicht geöffnet werden: Sie haben keine Berechtigung, es zu benutzen."},
    {"Add yourself to the group \"%s\" that owns the device with the command:\nsudo adduser %s "
     "%s\nthen log out and log in again.",
     "Přidejte se do skupiny \"%s\", která zařízení vlastní, příkazem:\nsudo adduser %s "
     "%s\npotom se odhlaste a znovu přihlaste.",
     "Fügen Sie sich mit diesem Befehl der Gruppe \"%s\" hinzu, der das Gerät gehört:\nsudo "
     "adduser %s %s\nmelden Sie sich dann ab und wieder an."},
    {"The device %s is in use by another program. Close the other program and connect again.",
     "Zařízení %s používá jiný program. Zavřete jej a připojte se znovu.",
     "Das Gerät %s wird von einem anderen Programm benutzt. Schließen Sie das andere Programm "
     "und verbinden Sie erneut."},
    {"The device %s is not there: it is unplugged or its name is wrong. Plug it in or choose "
     "another port.",
     "Zařízení %s není k dispozici: je odpojené nebo má špatný název. Připojte jej nebo "
     "vyberte jiný port.",
     "Das Gerät %s ist nicht vorhanden: Es ist nicht angeschlossen oder sein Name ist falsch. "
     "Schließen Sie es an oder wählen Sie einen anderen Port."},
    {"The connection to %s was lost: the device was unplugged or stopped answering. Check the "
     "cable and connect again.",
     "Spojení s %s bylo přerušeno: zařízení bylo odpojeno nebo přestalo odpovídat. "
     "Zkontrolujte kabel a připojte se znovu.",
     "Die Verbindung zu %s ist abgebrochen: Das Gerät wurde getrennt oder antwortet nicht mehr. "
     "Prüfen Sie das Kabel und verbinden Sie erneut."},
}};

// Texts of the commands on a series: its spread, deleting, copying, exporting, reporting and
// importing shots; they follow the tables above so that their entries keep their places.
constexpr std::array<TDictionaryRow, 32> SeriesDictionary{{
    {"ES %s  SD %s %s", "R %s  SO %s %s", "ES %s  SA %s %s"},
    {"ES: extreme spread, maximum \u2212 minimum; SD: standard deviation",
     "R: variační rozpětí, maximum \u2212 minimum; SO: směrodatná odchylka",
     "ES: Extremstreuung, Maximum \u2212 Minimum; SA: Standardabweichung"},
    {"Delete shot", "Smazat výstřel", "Schuss löschen"},
    {"Do you really want to delete shot %s?", "Opravdu chcete smazat výstřel %s?",
     "Möchten Sie Schuss %s wirklich löschen?"},
    {"Do you really want to delete shots %s?", "Opravdu chcete smazat výstřely %s?",
     "Möchten Sie die Schüsse %s wirklich löschen?"},
    {"Received: %s", "Přijato: %s", "Empfangen: %s"},
    {"Copy", "Kopírovat", "Kopieren"},
    {"Export for spreadsheet\u2026", "Export pro tabulkový procesor\u2026",
     "Export für Tabellenkalkulation\u2026"},
    {"Print report\u2026", "Tisk protokolu\u2026", "Bericht drucken\u2026"},
    {"Save chart as picture\u2026", "Uložit graf jako obrázek\u2026",
     "Diagramm als Bild speichern\u2026"},
    {"Import\u2026", "Importovat\u2026", "Importieren\u2026"},
    {"Time", "Čas", "Zeit"},
    {"Difference from mean [%s]", "Odchylka od průměru [%s]", "Abweichung vom Mittelwert [%s]"},
    {"Maximum", "Maximum", "Maximum"},
    {"Mean", "Průměr", "Mittelwert"},
    {"Minimum", "Minimum", "Minimum"},
    {"Extreme spread", "Variační rozpětí", "Extremstreuung"},
    {"Standard deviation", "Směrodatná odchylka", "Standardabweichung"},
    {"TARVEX shot report", "TARVEX \u2013 protokol střelby", "TARVEX-Schussprotokoll"},
    {"Printed: %s", "Vytištěno: %s", "Gedruckt: %s"},
    {"Page %s of %s", "Strana %s z %s", "Seite %s von %s"},
    {"Shots imported: %s; lines skipped: %s.", "Importováno výstřelů: %s; přeskočeno řádků: %s.",
     "Importierte Schüsse: %s; übersprungene Zeilen: %s."},
    {"No column of speeds was found in %s.", "V souboru %s nebyl nalezen sloupec rychlostí.",
     "In %s wurde keine Spalte mit Geschwindigkeiten gefunden."},
    {"The column \"%s\" in %s holds no speed.",
     "Sloupec \u201e%s\u201c v souboru %s neobsahuje žádnou rychlost.",
     "Die Spalte \u201e%s\u201c in %s enthält keine Geschwindigkeit."},
    {"The speeds in %s are in \"%s\": only m/s and fps (ft/s) can be imported.",
     "Rychlosti v souboru %s jsou v jednotkách \u201e%s\u201c: importovat lze jen m/s a fps "
     "(ft/s).",
     "Die Geschwindigkeiten in %s sind in \u201e%s\u201c angegeben: importiert werden können nur "
     "m/s und fps (ft/s)."},
    {"The speeds in %s are marked both \"%s\" and \"%s\".",
     "Rychlosti v souboru %s jsou označeny jednotkou \u201e%s\u201c i \u201e%s\u201c.",
     "Die Geschwindigkeiten in %s sind sowohl mit \u201e%s\u201c als auch mit \u201e%s\u201c "
     "bezeichnet."},
    {"In %s it cannot be told whether the separator in speeds such as \"%s\" marks decimals or "
     "thousands.",
     "V souboru %s nelze poznat, zda oddělovač v rychlostech jako \u201e%s\u201c odděluje "
     "desetinná místa, nebo tisíce.",
     "In %s ist nicht zu erkennen, ob das Trennzeichen in Geschwindigkeiten wie \u201e%s\u201c "
     "Dezimalstellen oder Tausender abtrennt."},
    {"The speeds in %s have decimal commas, which cannot be told from the commas between its "
     "columns.",
     "Rychlosti v souboru %s mají desetinné čárky, které nelze odlišit od čárek mezi sloupci.",
     "Die Geschwindigkeiten in %s haben Dezimalkommas, die sich nicht von den Kommas zwischen "
     "den Spalten unterscheiden lassen."},
    {"%s is not a file that can be imported.", "%s není soubor, který lze importovat.",
     "%s ist keine Datei, die importiert werden kann."},
    {"%s is too large to be a series of shots (%s MB).",
     "Soubor %s je na sérii výstřelů příliš velký (%s MB).",
     "%s ist zu groß für eine Schussserie (%s MB)."},
    {"The series holds %s shots, as many as it can: further shots are not added. Save the "
     "series and clear it to go on.",
     "Série obsahuje %s výstřelů, víc pojmout nemůže: další výstřely se nepřidají. Uložte sérii "
     "a vymažte ji, abyste mohli pokračovat.",
     "Die Serie enthält %s Schüsse, mehr kann sie nicht aufnehmen: weitere Schüsse werden nicht "
     "hinzugefügt. Speichern Sie die Serie und leeren Sie sie, um fortzufahren."},
    {"%s holds more shots than a series can (%s): nothing was read.",
     "Soubor %s obsahuje více výstřelů, než pojme série (%s): nic nebylo načteno.",
     "%s enthält mehr Schüsse, als eine Serie aufnehmen kann (%s): nichts wurde gelesen."},
}};

// Texts of the series library's windows: the list of series with their notes, and the
// comparison of series with the verdict on two of them; they follow the tables above so that
// their entries keep their places.
constexpr std::array<TDictionaryRow, 53> LibraryDictionary{{
    {"Series library", "Knihovna sérií", "Serienbibliothek"},
    {"Filter", "Filtr", "Filter"},
    {"Name", "Název", "Name"},
    {"Created", "Vytvořeno", "Erstellt"},
    {"Mean [%s]", "Průměr [%s]", "Mittelwert [%s]"},
    {"Extreme spread [%s]", "Variační rozpětí [%s]", "Extremstreuung [%s]"},
    {"Standard deviation [%s]", "Směrodatná odchylka [%s]", "Standardabweichung [%s]"},
    {"Mean energy [%s]", "Průměrná energie [%s]", "Mittlere Energie [%s]"},
    {"Pellet", "Diabolka", "Diabolo"},
    {"Gun", "Zbraň", "Waffe"},
    {"Notes", "Poznámky", "Notizen"},
    {"Fill pressure at start [%s]", "Plnicí tlak na začátku [%s]", "Fülldruck am Anfang [%s]"},
    {"Fill pressure at end [%s]", "Plnicí tlak na konci [%s]", "Fülldruck am Ende [%s]"},
    {"Temperature [%s]", "Teplota [%s]", "Temperatur [%s]"},
    {"Remarks", "Komentář", "Bemerkungen"},
    {"Open", "Otevřít", "Öffnen"},
    {"Delete", "Smazat", "Löschen"},
    {"Export\u2026", "Exportovat\u2026", "Exportieren\u2026"},
    {"Compare", "Porovnat", "Vergleichen"},
    {"\"%s\"", "\u201e%s\u201c", "\u201e%s\u201c"},
    {"\"%s\" is not a valid value here.", "\u201e%s\u201c zde není platná hodnota.",
     "\u201e%s\u201c ist hier kein gültiger Wert."},
    {"Do you really want to delete the series \"%s\" (shots: %s)?",
     "Opravdu chcete smazat sérii \u201e%s\u201c (výstřelů: %s)?",
     "Möchten Sie die Serie \u201e%s\u201c (Schüsse: %s) wirklich löschen?"},
    {"Do you really want to delete %s series: %s?", "Opravdu chcete smazat série (celkem %s): %s?",
     "Möchten Sie %s Serien wirklich löschen: %s?"},
    {"\"%s\" is the series being recorded: it cannot be deleted.",
     "\u201e%s\u201c je série, do které se právě zaznamenává: nelze ji smazat.",
     "\u201e%s\u201c ist die Serie, die gerade aufgezeichnet wird: Sie kann nicht gelöscht "
     "werden."},
    {"These files exist already:%s\nReplace them?", "Tyto soubory už existují:%s\nNahradit je?",
     "Diese Dateien gibt es bereits:%s\nSollen sie ersetzt werden?"},
    {"Comparison of series", "Porovnání sérií", "Vergleich von Serien"},
    {"Print\u2026", "Tisk\u2026", "Drucken\u2026"},
    {"Speed of each shot", "Rychlost jednotlivých výstřelů", "Geschwindigkeit jedes Schusses"},
    {"95 % interval of the mean [%s]", "95% interval spolehlivosti průměru [%s]",
     "95-%-Konfidenzintervall des Mittelwerts [%s]"},
    {"A verdict compares two series: select exactly two in the library to see one.",
     "Závěr porovnává dvě série: zobrazí se, když v knihovně vyberete právě dvě.",
     "Ein Fazit vergleicht zwei Serien: Wählen Sie in der Bibliothek genau zwei aus, um es zu "
     "sehen."},
    {"A verdict needs two shots or more in each series.",
     "Závěr vyžaduje alespoň dva výstřely v každé sérii.",
     "Ein Fazit braucht mindestens zwei Schüsse in jeder Serie."},
    {"TARVEX series comparison", "TARVEX \u2013 porovnání sérií", "TARVEX-Serienvergleich"},
    // The verdict's patterns of analysis/SeriesComparison.h.
    {"%s is faster by %s %s (95 % interval %s to %s); a difference this large arises by chance "
     "with probability %s",
     "%s je rychlejší o %s %s (95% interval %s až %s); tak velký rozdíl vznikne náhodou "
     "s pravděpodobností %s",
     "%s ist um %s %s schneller (95-%-Intervall %s bis %s); ein so großer Unterschied entsteht "
     "zufällig mit der Wahrscheinlichkeit %s"},
    {"The difference of %s %s could be chance (p = %s)", "Rozdíl %s %s může být náhodný (p = %s)",
     "Der Unterschied von %s %s kann Zufall sein (p = %s)"},
    {"Series library\u2026", "Knihovna sérií\u2026", "Serienbibliothek\u2026"},
    {"Series of %s", "Série z %s", "Serie vom %s"},
    {"The series library does not keep the shots any more. They stay in this window until it "
     "closes, and Save data still works.",
     "Knihovna sérií už výstřely neukládá. Zůstanou v tomto okně, dokud se nezavře, a Uložit data "
     "dál funguje.",
     "Die Serienbibliothek speichert die Schüsse nicht mehr. Sie bleiben in diesem Fenster, bis es "
     "geschlossen wird, und Daten speichern funktioniert weiterhin."},
    {"The series library %s was written by a newer version of TARVEX. It is open for reading "
     "only: the shots recorded now are not kept in it.",
     "Knihovnu sérií %s zapsala novější verze programu TARVEX. Je otevřena jen pro čtení: "
     "výstřely zaznamenané nyní se do ní neukládají.",
     "Die Serienbibliothek %s wurde von einer neueren Version von TARVEX geschrieben. Sie ist nur "
     "zum Lesen geöffnet: die jetzt aufgezeichneten Schüsse werden nicht darin gespeichert."},
    {"The series library %s was damaged. It has been kept as %s and a new, empty library has "
     "been started.",
     "Knihovna sérií %s byla poškozená. Byla uschována jako %s a byla založena nová, prázdná "
     "knihovna.",
     "Die Serienbibliothek %s war beschädigt. Sie wurde als %s aufbewahrt, und eine neue, leere "
     "Bibliothek wurde angelegt."},
    {"The series library is not open: the shots stay in this window only.",
     "Knihovna sérií není otevřená: výstřely zůstávají jen v tomto okně.",
     "Die Serienbibliothek ist nicht geöffnet: die Schüsse bleiben nur in diesem Fenster."},
    {"The series library is busy with another TARVEX: try again in a moment.",
     "Knihovnu sérií právě používá jiný TARVEX: zkuste to za chvíli znovu.",
     "Die Serienbibliothek wird gerade von einem anderen TARVEX benutzt: versuchen Sie es gleich "
     "noch einmal."},
    {"%s shots wait for the series library: another program is writing it. They are kept "
     "beside it and go in when it is free.",
     "%s výstřelů čeká na knihovnu sérií: zapisuje do ní jiný program. Jsou uloženy vedle ní a "
     "přejdou do ní, jakmile se uvolní.",
     "%s Schüsse warten auf die Serienbibliothek: ein anderes Programm schreibt gerade hinein. "
     "Sie sind daneben gesichert und gehen hinein, sobald sie frei ist."},
    {"One shot waits for the series library: another program is writing it. It is kept beside "
     "it and goes in when it is free.",
     "Jeden výstřel čeká na knihovnu sérií: zapisuje do ní jiný program. Je uložen vedle ní a "
     "přejde do ní, jakmile se uvolní.",
     "Ein Schuss wartet auf die Serienbibliothek: ein anderes Programm schreibt gerade hinein. Er "
     "ist daneben gesichert und geht hinein, sobald sie frei ist."},
    {"The shot that waited is in the series library now.",
     "Čekající výstřel je nyní v knihovně sérií.",
     "Der wartende Schuss ist jetzt in der Serienbibliothek."},
    {"The %s shots that waited are in the series library now.",
     "%s čekajících výstřelů je nyní v knihovně sérií.",
     "Die %s wartenden Schüsse sind jetzt in der Serienbibliothek."},
    {"%s of %s shots of %s were kept: load the file again.",
     "Uchováno bylo %s z %s výstřelů souboru %s: načtěte soubor znovu.",
     "%s von %s Schüssen aus %s wurden behalten: laden Sie die Datei noch einmal."},
    {"%s shots of this series in the library are no speeds in m/s or fps and were left out.",
     "%s výstřelů této série v knihovně nejsou rychlosti v m/s ani fps a byly vynechány.",
     "%s Schüsse dieser Serie in der Bibliothek sind keine Geschwindigkeiten in m/s oder fps und "
     "wurden ausgelassen."},
    {"This series holds %s shots, more than a series can (%s): it is not opened.",
     "Tato série má %s výstřelů, více než série pojme (%s): neotevírá se.",
     "Diese Serie hat %s Schüsse, mehr als eine Serie fassen kann (%s): sie wird nicht geöffnet."},
    {"The series library %s cannot be written. It is open for reading only: the shots recorded "
     "now are not kept in it.",
     "Do knihovny sérií %s nelze zapisovat. Je otevřena jen pro čtení: výstřely zaznamenané nyní "
     "se do ní neukládají.",
     "In die Serienbibliothek %s kann nicht geschrieben werden. Sie ist nur zum Lesen geöffnet: "
     "die jetzt aufgezeichneten Schüsse werden nicht darin gespeichert."},
    {"The shots in this window are not in the series library. Replace them with the series "
     "opened?",
     "Výstřely v tomto okně nejsou v knihovně sérií. Nahradit je otevíranou sérií?",
     "Die Schüsse in diesem Fenster sind nicht in der Serienbibliothek. Durch die geöffnete Serie "
     "ersetzen?"},
    {"This series is no longer in the library.", "Tato série už v knihovně není.",
     "Diese Serie ist nicht mehr in der Bibliothek."},
    {"Another TARVEX records into this series: it cannot be opened here.",
     "Do této série zaznamenává jiný TARVEX: zde ji nelze otevřít.",
     "In diese Serie zeichnet ein anderes TARVEX auf: sie kann hier nicht geöffnet werden."},
    {"Rename", "Přejmenovat", "Umbenennen"},
}};

// The tuning tools of the chart and the legal energy limits of the setup window.
constexpr std::array<TDictionaryRow, 25> TuningDictionary{{
    {"Usable shots", "Použitelné výstřely", "Nutzbare Schüsse"},
    {"Speed drift", "Posun rychlosti", "Geschwindigkeitsdrift"},
    {"Histogram", "Histogram", "Histogramm"},
    {"Usable shots: %s (shots %s to %s), extreme spread %s %s",
     "Použitelné výstřely: %s (výstřely %s až %s), variační rozpětí %s %s",
     "Nutzbare Schüsse: %s (Schüsse %s bis %s), Extremstreuung %s %s"},
    {"Usable shots: 1 (shot %s), extreme spread %s %s",
     "Použitelné výstřely: 1 (výstřel %s), variační rozpětí %s %s",
     "Nutzbare Schüsse: 1 (Schuss %s), Extremstreuung %s %s"},
    {"usable from about %s to %s %s", "použitelné zhruba od %s do %s %s",
     "nutzbar von etwa %s bis %s %s"},
    {"Speed falls by %s %s per 10 shots (95 % interval %s to %s)",
     "Rychlost klesá o %s %s na 10 výstřelů (95% interval %s až %s)",
     "Die Geschwindigkeit fällt um %s %s je 10 Schüsse (95-%-Intervall %s bis %s)"},
    {"Speed rises by %s %s per 10 shots (95 % interval %s to %s)",
     "Rychlost stoupá o %s %s na 10 výstřelů (95% interval %s až %s)",
     "Die Geschwindigkeit steigt um %s %s je 10 Schüsse (95-%-Intervall %s bis %s)"},
    {"No drift: %s %s per 10 shots (95 % interval %s to %s)",
     "Bez posunu: %s %s na 10 výstřelů (95% interval %s až %s)",
     "Keine Drift: %s %s je 10 Schüsse (95-%-Intervall %s bis %s)"},
    {"Speed drift needs at least 3 shots", "Posun rychlosti potřebuje alespoň 3 výstřely",
     "Die Geschwindigkeitsdrift braucht mindestens 3 Schüsse"},
    {"%s to %s %s: %s shots", "%s až %s %s: %s výstřelů", "%s bis %s %s: %s Schüsse"},
    {"Below %s %s: %s shots", "Pod %s %s: %s výstřelů", "Unter %s %s: %s Schüsse"},
    {"Above %s %s: %s shots", "Nad %s %s: %s výstřelů", "Über %s %s: %s Schüsse"},
    {"The histogram cannot show these values: they are too far apart",
     "Histogram tyto hodnoty nemůže zobrazit: leží příliš daleko od sebe",
     "Das Histogramm kann diese Werte nicht zeigen: sie liegen zu weit auseinander"},
    {"Speed drift cannot be computed: the speeds are too far apart",
     "Posun rychlosti nelze spočítat: rychlosti leží příliš daleko od sebe",
     "Die Geschwindigkeitsdrift lässt sich nicht berechnen: die Geschwindigkeiten liegen zu weit "
     "auseinander"},
    {"Usable ES [%s]", "Použitelné R [%s]", "Nutzbare ES [%s]"},
    {"The widest extreme spread of speed that the usable shots of one fill may have",
     "Největší variační rozpětí rychlosti, které smějí mít použitelné výstřely jednoho plnění",
     "Die größte Extremstreuung der Geschwindigkeit, die die nutzbaren Schüsse einer Füllung haben "
     "dürfen"},
    {"Custom value", "Vlastní hodnota", "Eigener Wert"},
    {"UK air rifle, 12 ft\u00B7lbf", "Velká Británie, vzduchovka, 12 ft\u00B7lbf",
     "Großbritannien, Luftgewehr, 12 ft\u00B7lbf"},
    {"UK air pistol, 6 ft\u00B7lbf", "Velká Británie, vzduchová pistole, 6 ft\u00B7lbf",
     "Großbritannien, Luftpistole, 6 ft\u00B7lbf"},
    {"Germany, 7.5 J", "Německo, 7,5 J", "Deutschland, 7,5 J"},
    {"Energy limit", "Limit energie", "Energielimit"},
    {"%s (%s to %s), ES %s %s", "%s (%s až %s), R %s %s", "%s (%s bis %s), ES %s %s"},
    {"%s %s per 10 shots", "%s %s na 10 výstřelů", "%s %s je 10 Schüsse"},
    {"none", "žádný", "keine"},
}};

std::string DictionaryKey(int Language, const std::string& English) {
    return "LNG" + std::to_string(Language) + "_" + English;
}

} // namespace

TTranslator::TTranslator() {
    FillDictionary();
}

TTranslator::~TTranslator() = default;

void TTranslator::AddTranslation(int Language, const std::string& Key, const std::string& Text) {
    FDictionary.Add(Text, DictionaryKey(Language, Key));
}

std::string TTranslator::Translate(const std::string& Text, int Language) const {
    const bool HasColon = !Text.empty() && Text.back() == ':';
    const std::string Base = HasColon ? Text.substr(0, Text.size() - 1) : Text;
    const TVariant Entry = FDictionary.FindValue(DictionaryKey(Language, Base));
    const auto* Translated = std::get_if<std::string>(&Entry);
    if (Translated == nullptr) {
        return Text;
    }
    return HasColon ? *Translated + ":" : *Translated;
}

std::string TTranslator::LanguageCode(int Language) {
    switch (Language) {
    case LANG_CZECH:
        return "cs";
    case LANG_GERMAN:
        return "de";
    default:
        return "en";
    }
}

std::string TTranslator::LanguageName(int Language) {
    switch (Language) {
    case LANG_CZECH:
        return "Czech";
    case LANG_GERMAN:
        return "German";
    case LANG_ENGLISH:
        return "English";
    default:
        return "unknown";
    }
}

// The trajectory window, the ballistic coefficient from two series and their page of the report.
constexpr auto BallisticsDictionary = std::to_array<TDictionaryRow>({
    {"Trajectory\u2026", "Dráha střely\u2026", "Flugbahn\u2026"},
    {"Trajectory of %s", "Dráha střely: %s", "Flugbahn: %s"},
    {"the series in the window", "série v okně", "die Serie im Fenster"},
    {"Ballistic coefficient\u2026", "Balistický koeficient\u2026",
     "Ballistischer Koeffizient\u2026"},
    {"Ballistic coefficient", "Balistický koeficient", "Ballistischer Koeffizient"},
    {"Muzzle speed [%s]", "Úsťová rychlost [%s]", "Mündungsgeschwindigkeit [%s]"},
    {"Ballistic coefficient [%s]", "Balistický koeficient [%s]", "Ballistischer Koeffizient [%s]"},
    {"Pellet weight [%s]", "Hmotnost diabolky [%s]", "Diabologewicht [%s]"},
    {"Sight height [%s]", "Výška mířidel [%s]", "Visierhöhe [%s]"},
    {"Zero range [%s]", "Nastřelení na [%s]", "Fleckschussentfernung [%s]"},
    {"Last range [%s]", "Poslední vzdálenost [%s]", "Letzte Entfernung [%s]"},
    {"Range step [%s]", "Krok vzdálenosti [%s]", "Entfernungsschritt [%s]"},
    {"Crosswind [%s]", "Boční vítr [%s]", "Seitenwind [%s]"},
    {"Kill zone [%s]", "Zóna zásahu [%s]", "Trefferzone [%s]"},
    {"Minimum energy [%s]", "Minimální energie [%s]", "Mindestenergie [%s]"},
    {"Air pressure [%s]", "Tlak vzduchu [%s]", "Luftdruck [%s]"},
    {"Humidity [%s]", "Vlhkost [%s]", "Luftfeuchte [%s]"},
    {"Distance between the positions [%s]", "Vzdálenost mezi stanovišti [%s]",
     "Abstand der Messpunkte [%s]"},
    {"Keep with the series", "Uložit k sérii", "Bei der Serie speichern"},
    {"Keep with %s", "Uložit k sérii %s", "Bei %s speichern"},
    {"Every field needs a number", "Každé pole potřebuje číslo", "Jedes Feld braucht eine Zahl"},
    {"Range [%s]", "Vzdálenost [%s]", "Entfernung [%s]"},
    {"Drop [%s]", "Pokles [%s]", "Abfall [%s]"},
    {"Holdover [mrad]", "Nadržení [mrad]", "Haltepunkt [mrad]"},
    {"Holdover [MOA]", "Nadržení [MOA]", "Haltepunkt [MOA]"},
    {"Time [s]", "Čas [s]", "Zeit [s]"},
    {"Wind drift [%s]", "Snos větrem [%s]", "Windabdrift [%s]"},
    {"BC %s %s (95 % interval from %s up: the two series' speeds overlap), from %s shots at the "
     "muzzle and %s at %s",
     "BC %s %s (95% interval od %s výš: rychlosti obou sérií se překrývají), z %s výstřelů u ústí "
     "a %s ve vzdálenosti %s",
     "BC %s %s (95-%-Intervall ab %s: die Geschwindigkeiten der beiden Serien überlappen), aus %s "
     "Schüssen an der Mündung und %s in %s"},
    {"Point-blank range for a %s kill zone: %s to %s %s; a zero at %s %s makes it reach %s %s",
     "Rozsah bez nadržení pro zónu zásahu %s: %s až %s %s; nastřelení na %s %s jej prodlouží do "
     "%s %s",
     "Fleckschussbereich für eine Trefferzone von %s: %s bis %s %s; eingeschossen auf %s %s reicht "
     "er bis %s %s"},
    {"The energy falls below %s from %s %s on (\u2193 in the table)",
     "Energie klesá pod %s od %s %s dál (\u2193 v tabulce)",
     "Die Energie fällt unter %s, ab %s %s (\u2193 in der Tabelle)"},
    {"BC %s %s (95 % interval %s to %s), from %s shots at the muzzle and %s at %s",
     "BC %s %s (95% interval %s až %s), z %s výstřelů u ústí a %s ve vzdálenosti %s",
     "BC %s %s (95-%-Intervall %s bis %s), aus %s Schüssen an der Mündung und %s in %s"},
    {"BC: G1, referred to the ICAO standard atmosphere (15 \u00B0C, 1013.25 hPa), not to the Army "
     "Standard Metro air. MOA: true minutes of angle (1/60\u00B0), not 1 inch at 100 yards. A "
     "point "
     "mass without spin drift.",
     "BC: G1, vztažený ke standardní atmosféře ICAO (15 \u00B0C, 1013,25 hPa), ne k ovzduší Army "
     "Standard Metro. MOA: skutečné úhlové minuty (1/60\u00B0), ne 1 palec na 100 yardů. Hmotný "
     "bod "
     "bez snosu rotací.",
     "BC: G1, bezogen auf die ICAO-Standardatmosphäre (15 \u00B0C, 1013,25 hPa), nicht auf die "
     "Army "
     "Standard Metro-Luft. MOA: echte Winkelminuten (1/60\u00B0), nicht 1 Zoll auf 100 Yards. Ein "
     "Massenpunkt ohne Drall-Abdrift."},
    {"Trajectory", "Dráha střely", "Flugbahn"},
    {"Muzzle speed %s, BC %s, sight height %s, zero at %s, standard air, no wind",
     "Úsťová rychlost %s, BC %s, výška mířidel %s, nastřelení na %s, standardní ovzduší, bez větru",
     "Mündungsgeschwindigkeit %s, BC %s, Visierhöhe %s, eingeschossen auf %s, Standardluft, kein "
     "Wind"},
});

// The live read-out on a phone: its window and the page's texts.
constexpr auto PhoneDictionary = std::to_array<TDictionaryRow>({
    {"Pellet weight", "Hmotnost střely", "Schussgewicht"},
    {"SD", "SO", "SA"},
    {"ES", "R", "ES"},
    {"Last 10 shots", "Posledních 10 výstřelů", "Letzte 10 Schüsse"},
    {"Waiting for the first shot", "Čeká se na první výstřel", "Warten auf den ersten Schuss"},
    {"Connection lost, reconnecting\u2026", "Spojení ztraceno, připojuji znovu\u2026",
     "Verbindung verloren, verbinde neu\u2026"},
    {"Sharing was switched off: scan the new code.", "Sdílení bylo vypnuto: naskenujte nový kód.",
     "Die Freigabe wurde beendet: den neuen Code scannen."},
    {"Connecting\u2026", "Připojuji\u2026", "Verbinde\u2026"},
    {"Show on a phone\u2026", "Zobrazit na telefonu\u2026", "Auf dem Handy zeigen\u2026"},
    {"Read-out on a phone", "Údaje na telefonu", "Anzeige auf dem Handy"},
    {"Scan the code with the phone's camera, or open the address in its browser. The phone must "
     "be on the same network as this computer.",
     "Naskenujte kód fotoaparátem telefonu, nebo otevřete adresu v jeho prohlížeči. Telefon musí "
     "být ve stejné síti jako tento počítač.",
     "Scannen Sie den Code mit der Kamera des Handys oder öffnen Sie die Adresse in seinem "
     "Browser. Das Handy muss im selben Netzwerk sein wie dieser Computer."},
    {"Anyone on this network who sees the code can read the shots.",
     "Kdokoli v této síti, kdo uvidí kód, může číst výstřely.",
     "Wer in diesem Netzwerk den Code sieht, kann die Schüsse lesen."},
    {"Stop sharing", "Ukončit sdílení", "Freigabe beenden"},
    {"Share again", "Znovu sdílet", "Wieder freigeben"},
    {"Sharing is off.", "Sdílení je vypnuto.", "Die Freigabe ist aus."},
    {"This computer has no network address that a phone can reach: connect it to the phone's "
     "network.",
     "Tento počítač nemá síťovou adresu dosažitelnou z telefonu: připojte jej k síti telefonu.",
     "Dieser Computer hat keine Netzwerkadresse, die ein Handy erreicht: verbinden Sie ihn mit "
     "dem Netzwerk des Handys."},
    {"Phones reading: %s", "Připojené telefony: %s", "Verbundene Handys: %s"},
    {"The read-out cannot be shared on port %s: %s", "Údaje nelze sdílet na portu %s: %s",
     "Die Anzeige kann nicht auf Port %s freigegeben werden: %s"},
});

// Per table, all Czech entries first, then all German ones, each in table order.
void TTranslator::FillDictionary() {
    for (const auto Table : {std::span<const TDictionaryRow>(BuiltInDictionary),
                             std::span<const TDictionaryRow>(HelpDictionary),
                             std::span<const TDictionaryRow>(SeriesDictionary),
                             std::span<const TDictionaryRow>(LibraryDictionary),
                             std::span<const TDictionaryRow>(TuningDictionary),
                             std::span<const TDictionaryRow>(BallisticsDictionary),
                             std::span<const TDictionaryRow>(PhoneDictionary)}) {
        for (const TDictionaryRow& Row : Table) {
            AddTranslation(LANG_CZECH, Row.English, Row.Czech);
        }
        for (const TDictionaryRow& Row : Table) {
            if (Row.German != nullptr) {
                AddTranslation(LANG_GERMAN, Row.English, Row.German);
            }
        }
    }
}
