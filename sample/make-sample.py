#!/usr/bin/env python3
"""Writes the sample joke collection (Witze/) and the About texts of Pointex into this folder.

Joke files hold one joke per line in ISO 8859-1. Inside a line, byte 0x12 starts the next
solution part and byte 0x11 is a line break. Below, a joke is a list of parts (the joke text,
then its solution parts), and a newline inside a part becomes 0x11. The last joke of a file has
no line end after it, because a final line end would add an empty joke.
"""

import os

LINE_BREAK = "\x11"
SOLUTION = "\x12"

CATEGORIES = {
    "Flachwitze": [
        ["Was ist ein Cowboy ohne Pferd?", "Ein Sattelschlepper."],
        ["Fragt eine Kerze die andere: \"Wachs machst du heute Abend?\""],
        ["Was ist orange und wandert durch die Berge?", "Eine Wanderine."],
        ["Was liegt am Strand und spricht undeutlich?", "Eine Nuschel."],
        ["Was trinkt eine Uhr am liebsten?", "Ticktee."],
        ["Was ist ein Keks unter einem Baum?", "Ein schattiges Plätzchen."],
        ["Was sagt der große Stift zum kleinen Stift?", "\"Wachs mal, Stift!\""],
        ["Was macht ein Mathematiker im Garten?", "Wurzeln ziehen."],
        ["Warum können Seeräuber keinen Kreis berechnen?", "Weil sie Pi raten."],
        ["Was ist gelb und kann nicht schwimmen?", "Ein Bagger.", "Warum? Er hat nur einen Arm."],
        ["Welche Musik hören Schafe am liebsten?", "Mäh-tal."],
        ["Warum ist die Tomate rot geworden?", "Sie hat gesehen, wie sich der Salat anzieht."],
        ["Was sagt die Null zur Acht?", "\"Schicker Gürtel!\""],
        ["Was macht ein Clown im Büro?", "Faxen."],
        ["Was ist braun, klebrig und läuft durch die Wüste?", "Ein Karamel."],
    ],
    "Tierwitze": [
        ["Zwei Kühe stehen auf der Weide.\nSagt die eine: \"Muh!\"\n"
         "Sagt die andere: \"Genau das wollte ich auch gerade sagen!\""],
        ["Zwei Eulen sitzen auf einem Ast. Fragt die eine: \"Uhu?\"\n"
         "Sagt die andere: \"Nein, Waldkauz. Aber danke der Nachfrage.\""],
        ["Wie nennt man eine Katze im Fitnessstudio?", "Muskelkater."],
        ["Warum tragen Elefanten rote Turnschuhe?",
         "Damit man sie im Erdbeerfeld nicht sieht.",
         "Oder hast du schon mal einen Elefanten im Erdbeerfeld gesehen? Na also!"],
        ["Was sagt die Schnecke, als sie auf der Schildkröte reitet?", "\"Juhuuu, nicht so schnell!\""],
        ["Warum fliegen die Vögel im Winter nach Süden?", "Zu Fuß wäre es ihnen zu weit."],
        ["Was sagt der Igel zum Kaktus?", "\"Hallo Mama, bist du groß geworden!\""],
        ["Was ist grün und hüpft von Seerose zu Seerose?", "Ein Frosch auf Dienstreise."],
        ["Der kleine Maulwurf fragt: \"Mama, warum sehen wir so schlecht?\"\n"
         "Die Mutter: \"Hier unten gibt es ja auch nichts zu sehen.\""],
        ["Ein Pinguin steht mitten in der Wüste.\nKommt ein Kamel vorbei: \"Hast du dich verlaufen?\"\n"
         "Der Pinguin: \"Nein, ich warte auf den Winter.\""],
        ["Welches Tier braucht keinen Wecker?", "Der Hahn. Er weckt sich selbst und alle anderen gleich mit."],
        ["Was macht ein Hund im Büro?", "Er bellt Akten an und wedelt mit den Ordnern."],
    ],
    "Computerwitze": [
        ["Warum war der Computer so müde?", "Er hatte zu viele Fenster offen."],
        ["Wie zählt ein Programmierer Schafe, wenn er nicht schlafen kann?", "1, 10, 11, 100, 101 ..."],
        ["Wie viele Programmierer braucht man, um eine Glühbirne zu wechseln?",
         "Keinen. Das ist ein Hardware-Problem."],
        ["Es gibt 10 Arten von Menschen:\ndie, die Binärzahlen verstehen,\nund die, die es nicht tun."],
        ["Warum verwechseln Programmierer Halloween mit Weihnachten?", "Weil Oct 31 = Dec 25 ist."],
        ["Kunde: \"Mein Computer sagt, ich soll eine beliebige Taste drücken.\"\nHotline: \"Ja, und?\"\n"
         "Kunde: \"Ich finde die Taste 'Beliebig' nicht!\""],
        ["Warum arbeiten Programmierer am liebsten im Dunkeln?", "Weil Licht die Bugs anlockt."],
        ["Treffen sich zwei Router. Sagt der eine: \"Wollen wir ein Netzwerk gründen?\"\n"
         "Der andere: \"Gern, aber nur mit ordentlichem Protokoll.\""],
        ["Was isst ein Computer am liebsten?", "Chips.", "Und zum Nachtisch ein paar Bytes."],
        ["Ein Informatiker schiebt einen Kinderwagen durch den Park.\n"
         "Fragt eine Nachbarin: \"Junge oder Mädchen?\"\nDer Informatiker: \"Ja.\""],
        ["Der Informatiker soll einkaufen: \"Bring ein Brot mit, und wenn es Eier gibt, bring sechs.\"\n"
         "Er kommt mit sechs Broten zurück. Warum?", "\"Es gab Eier.\""],
        ["Warum ging die Festplatte zum Arzt?", "Sie hatte Speicherprobleme."],
    ],
    "Schulwitze": [
        ["Lehrerin: \"Wenn ich sage: 'Ich war schön', welche Zeit ist das?\"\nFritzchen: \"Lange her!\""],
        ["Die Lehrerin fragt: \"Was ist die Mehrzahl von Baum?\"\nPaul: \"Wald!\""],
        ["Warum hat das Mathebuch so schlechte Laune?", "Es hat zu viele Probleme."],
        ["Lehrer: \"Max, warum kommst du zu spät?\"\n"
         "Max: \"Auf dem Schild stand: 'Schule - bitte langsam fahren!'\""],
        ["Lehrerin: \"Wer kann mir sagen, wo der Rhein liegt?\"\nLisa: \"Im Atlas, auf Seite 34.\""],
        ["Was macht ein Lineal in der Pause?", "Es misst sich mit den anderen."],
        ["Warum nimmt Jonas eine Leiter mit in die Schule?", "Er will auf die höhere Schule."],
        ["Lehrer: \"Anna, du hast ja genau dasselbe geschrieben wie dein Nachbar!\"\n"
         "Anna: \"Wir haben ja auch denselben Lehrer.\""],
        ["Vater: \"Na, wie war die Mathearbeit?\"\nSohn: \"Wie ein Märchen.\"\nVater: \"So schön?\"",
         "Sohn: \"Nein. So ausgedacht.\""],
        ["Lehrer: \"Tim, wie viel ist drei plus drei?\"\nTim: \"Unentschieden!\""],
        ["Was ist das Lieblingsfach einer Schlange?", "Zischkunde."],
        ["Warum sitzt der Schüler mit Sonnenbrille im Unterricht?", "Weil seine Zukunft so hell ist."],
    ],
    "Rätsel": [
        ["Was hat Zähne, kann aber nicht beißen?", "Ein Kamm."],
        ["Was wird nasser, je mehr es trocknet?", "Ein Handtuch."],
        ["Was hat einen Hals, aber keinen Kopf?", "Eine Flasche."],
        ["Welcher Hahn kräht nie?", "Der Wasserhahn."],
        ["Es hat Blätter und einen Rücken, ist aber kein Baum. Was ist es?", "Ein Buch."],
        ["Was geht, obwohl es keine Beine hat?", "Die Uhr."],
        ["Je mehr man wegnimmt, desto größer wird es. Was ist das?", "Ein Loch."],
        ["Was ist schwerer: ein Kilo Federn oder ein Kilo Steine?", "Keins von beiden - beide wiegen ein Kilo."],
        ["Ich habe Städte, aber keine Häuser,\nWälder, aber keine Bäume,\nFlüsse, aber keine Fische.\nWas bin ich?",
         "Eine Landkarte."],
        ["Wie viele Monate haben 28 Tage?", "Alle zwölf."],
        ["Mias Vater hat fünf Töchter: Lala, Lele, Lili und Lolo. Wie heißt die fünfte?", "Mia."],
        ["Ein Bauer hat 17 Schafe. Alle bis auf neun laufen weg. Wie viele bleiben übrig?",
         "Neun.", "Alle außer neun sind weggelaufen - die neun sind also noch da."],
        ["Was fällt, ohne sich wehzutun?", "Der Regen.", "Und der Schnee auch."],
        ["Welches Ei hat keinen Dotter?", "Das Osterei aus Schokolade."],
    ],
    "Kurz und gut": [
        ["Ich habe ein Buch über Schwerkraft gelesen. Ich konnte es einfach nicht mehr weglegen."],
        ["Sagt der Teppich zum Fußboden: \"Keine Sorge, ich decke dich.\""],
        ["Der Optimist: \"Das Glas ist halb voll.\"\nDer Pessimist: \"Das Glas ist halb leer.\"\n"
         "Der Kellner: \"Darf ich abräumen?\""],
        ["Ich habe meine Uhr verkauft. Jetzt habe ich endlich Zeit."],
        ["Sagt der Hammer zum Nagel: \"Gleich hau ich dich!\"\nSagt der Nagel: \"Das trifft mich tief.\""],
        ["Mein Kühlschrank und ich verstehen uns prima. Er lässt mich nie im Dunkeln stehen."],
        ["Heute wollte ich joggen gehen. Aber mein Bett hat mich nicht losgelassen."],
        ["Sagt der Bleistift zum Radiergummi: \"Ohne dich wäre ich fehlerfrei.\"\n"
         "Der Radiergummi: \"Nein. Ohne mich sähe man es nur.\""],
        ["Ich wollte einen Witz über Zeitreisen erzählen. Aber der hat dir schon nächste Woche nicht gefallen."],
        ["Überall liest man, Sport sei gesund. Deshalb lese ich jetzt jeden Tag darüber."],
        ["Treffen sich zwei Magnete. Sagt der eine: \"Was soll ich heute bloß anziehen?\""],
    ],
}

# One file uses CR LF line ends, to show that both kinds work.
CRLF_FILES = {"Schulwitze"}

ABOUT = """\
Pointex 1.50 - der Witzebrowser

Pointex zeigt Witze aus einer Sammlung von Textdateien. Die Sammlung liegt im Ordner "Witze" im Arbeitsverzeichnis; jede Datei dort ist eine Kategorie, und jede Zeile einer Datei ist ein Witz. Pointex liest die Dateien nur, es ändert nie etwas daran.

So geht's:

Kategorie: Oben in der Liste stehen alle Kategorien mit der Zahl ihrer Witze. Wähle eine aus, dann zeigt Pointex, was sie enthält.

Zurück und Vor: blättern zum vorigen oder nächsten Witz der Kategorie. Nach dem letzten Witz geht es wieder beim ersten weiter.

Nummer eingeben: Tippe die Nummer eines Witzes ein, und Pointex springt direkt dorthin.

Zufall: "Zufalls Witz" wählt einen Witz der aktuellen Kategorie, "Z. Kategorie" eine Kategorie, und "Z. Kat. & Witz" beides auf einmal.

Lösen: Hat ein Witz oder Rätsel eine Auflösung, wird der Knopf "Lösen" aktiv. Jeder Druck zeigt den nächsten Teil der Lösung.

Suche: Gib mindestens drei Zeichen in das Suchfeld ein und drücke "Such!" oder die Eingabetaste. Die Treffer erscheinen rechts in der Liste; ein Doppelklick auf einen Treffer zeigt den Witz. Im Menü "Witz" unter "Suchen" legst du fest, ob die Suche alle Kategorien durchsucht und ob sie Groß- und Kleinschreibung beachtet. "Suche löschen" leert die Trefferliste.

Viel Spaß beim Lachen!
das Pointex-Team
"""

VERSION = """\
Versionsgeschichte

Pointex 1.50
- Suche über alle Kategorien oder nur die aktuelle, wahlweise mit Beachtung von Groß- und Kleinschreibung.
- Alle Suchergebnisse sammeln sich in einer Trefferliste; ein Doppelklick zeigt den Witz.
- Knöpfe für Zufallskategorie, Zufallswitz und beides zusammen.
- Lösungen in mehreren Teilen, Schritt für Schritt mit "Lösen".
- Sprung zu einem Witz über seine Nummer.
- Neue Symbole für alle Knöpfe.
- Sechs Kategorien eigener Beispielwitze; die fertige Sammlung nimmt dazu weitere Kategorien aus Debians fortunes-de (QUELLEN.txt nennt sie).
"""

LIZENZ = """\
Lizenz (MIT-Lizenz, englischer Originaltext)

MIT License

Copyright (c) 2026 das Pointex-Team

Permission is hereby granted, free of charge, to any person obtaining a copy of this software and associated documentation files (the "Software"), to deal in the Software without restriction, including without limitation the rights to use, copy, modify, merge, publish, distribute, sublicense, and/or sell copies of the Software, and to permit persons to whom the Software is furnished to do so, subject to the following conditions:

The above copyright notice and this permission notice shall be included in all copies or substantial portions of the Software.

THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS IN THE SOFTWARE.
"""


def encode(text):
    """ISO 8859-1 bytes; refuses characters the program could not show as written."""
    data = text.encode("latin-1")
    bad = [b for b in data if b == 0x1A or 0x80 <= b <= 0x9F]
    if bad:
        raise ValueError(f"control byte {bad[0]:#x} in {text!r}")
    return data


def joke_line(parts):
    for part in parts:
        # Line ends, separators and the text-mode end-of-file byte must not hide in a part.
        if any(c in part for c in "\r\x11\x12\x1a"):
            raise ValueError(f"reserved character in {part!r}")
    return encode(SOLUTION.join(part.replace("\n", LINE_BREAK) for part in parts))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = os.path.join(here, "Witze")
    os.makedirs(folder, exist_ok=True)
    for name, jokes in CATEGORIES.items():
        if not 8 <= len(jokes) <= 25:
            raise ValueError(f"{name}: {len(jokes)} jokes")
        line_end = b"\r\n" if name in CRLF_FILES else b"\n"
        with open(os.path.join(folder, name), "wb") as out:
            out.write(line_end.join(joke_line(parts) for parts in jokes))
    for name, text in (("about", ABOUT), ("version", VERSION), ("lizenz", LIZENZ)):
        with open(os.path.join(here, name), "wb") as out:
            out.write(encode(text))


if __name__ == "__main__":
    main()
