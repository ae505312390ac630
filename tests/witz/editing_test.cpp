// The editing rules of witz import on real records of fortunes-de, before and after, the
// records that must stay as they are among them; and riddles found without --format.
#include "witz_fixture.h"

namespace {

struct Rule {
    const char* what;
    std::vector<std::wstring> options;
    std::string source;  // a fortune file in UTF-8
    std::string written; // the category, ISO 8859-1 with 0x11 and 0x12
};

const Rule rules[] = {
    {"a paragraph wrapped for 80 columns joins (Stilblüten)",
     {L"--fliesstext"},
     "%\nStilbl\xc3\xbcten aus Schreiben von Versicherungsnehmern:\nEin Fu\xc3"
     "\x9fg\xc3\xa4nger kam pl\xc3\xb6tzlich vom B\xc3\xbcrgersteig und verschw"
     "and dann\nwortlos unter meinem Wagen.\n",
     std::string("Stilbl\xfcten aus Schreiben von Versicherungsnehmern:\x11"
                 "Ein Fu\xdfg"
                 "\xe4nger kam pl\xf6tzlich vom B\xfcrgersteig und verschwand dann wortlos "
                 "unter meinem Wagen.")},
    {"a sentence broken before a date goes on (Stilblüten)",
     {L"--fliesstext"},
     "%\nAls Hobby halte ich f\xc3\xbcnf H\xc3\xbchner und einen Hahn. Beim H"
     "\xc3\xbchnerf\xc3\xbcttern am\n24. Februar in den Morgenstunden st\xc3"
     "\xbcrzte sich der Hahn pl\xc3\xb6tzlich und\nunerwartet auf mich und bi"
     "\xc3\x9f mir in den rechten Fu\xc3\x9f.\n",
     std::string("Als Hobby halte ich f\xfcnf H\xfchner und einen Hahn. Beim H\xfchnerf\xfc"
                 "ttern am 24. Februar in den Morgenstunden st\xfcrzte sich der Hahn pl\xf6"
                 "tzlich und unerwartet auf mich und bi\xdf mir in den rechten Fu\xdf.")},
    {"verse stays (Bauernregeln)",
     {L"--fliesstext"},
     "%\nSind des Bauern Augen glasig, programmiert er was in BASIC.\nHat der B"
     "auer ein'n im Tee, ist er ein Freak, und zwar in C.\n",
     std::string("Sind des Bauern Augen glasig, programmiert er was in BASIC.\x11Hat der Ba"
                 "uer ein'n im Tee, ist er ein Freak, und zwar in C.")},
    {"dialogue turns and a reply to a question stay (Witze, Fußball)",
     {L"--fliesstext"},
     "%\nOberst: \"Achtung! Rechts um! Das gilt auch f\xc3\xbcr den kleinen Rot"
     "en dahinten.\"\nSoldat: \"Aber Herr Oberst, das ist doch ein Hydrant.\"\n"
     "%\nModerator: \"Und mit welchem Fu\xc3\x9f schie\xc3\x9f"
     "en sie jetzt a"
     "uf die Torwand?\"\nJa, mit dem rechten!\n",
     std::string("Oberst: \"Achtung! Rechts um! Das gilt auch f\xfcr den kleinen Roten dahi"
                 "nten.\"\x11Soldat: \"Aber Herr Oberst, das ist doch ein Hydrant.\""
                 "\n"
                 "Moderator: \"Und mit welchem Fu\xdf schie\xdf"
                 "en sie jetzt auf die Torw"
                 "and?\"\x11Ja, mit dem rechten!")},
    {"list items stay, what hangs under one joins it (Quiz)",
     {L"--fliesstext"},
     "%\na) Eineiiger Goldhamster mit Aszendent Dackel und Hundekuchen im viert"
     "en\n   Haus.\nc) Ich w\xc3\xa4r 29 und sonst nix.\n%\n",
     std::string("a) Eineiiger Goldhamster mit Aszendent Dackel und Hundekuchen im vierten "
                 "Haus.\x11"
                 "c) Ich w\xe4r 29 und sonst nix.")},
    {"short lines stay, a turn goes on under its speaker (Witze, Zum Bahnhof)",
     {L"--fliesstext"},
     "%\nDer Vertreter klingelt an der Haust\xc3\xbcr.\nAls ihm ge\xc3\xb6"
     "ff"
     "net wird, sagt er:\n%\nVerhaltenstherapeut: \"Heben Sie den rechten Fu"
     "\xc3\x9f. Schieben Sie ihn\n   nach vorn. Setzen Sie ihn auf. Sehr gut. H"
     "ier haben Sie ein Bonbon.\"\n",
     std::string("Der Vertreter klingelt an der Haust\xfcr.\x11"
                 "Als ihm ge\xf6"
                 "ffnet wi"
                 "rd, sagt er:"
                 "\n"
                 "Verhaltenstherapeut: \"Heben Sie den rechten Fu\xdf. Schieben Sie ihn nac"
                 "h vorn. Setzen Sie ihn auf. Sehr gut. Hier haben Sie ein Bonbon.\"")},
    {"in a riddle the answer goes on, the next question stays (Elefantenwitze)",
     {L"--format", L"raetsel", L"--fliesstext"},
     "%\nF: Wie erschie\xc3\x9ft man einen roten Elefanten?\nA: Man malt ihn bl"
     "au an und erschie\xc3\x9ft ihn mit dem blauen\n   Elefantengewehr.\n\nF: "
     "Wie erschie\xc3\x9ft man einen gr\xc3\xbcnen Elefanten?\nA: Man bewirft i"
     "hn mit Tomaten, bis er rot ist, malt ihn blau an, und\n   erschie\xc3\x9f"
     "t ihn mit dem blauen Elefantengewehr.\n%\n",
     std::string("Wie erschie\xdft man einen roten Elefanten?\x12Man malt ihn blau an und e"
                 "rschie\xdft ihn mit dem blauen Elefantengewehr.\x11Wie erschie\xdft man e"
                 "inen gr\xfcnen Elefanten?\x12Man bewirft ihn mit Tomaten, bis er rot ist,"
                 " malt ihn blau an, und erschie\xdft ihn mit dem blauen Elefantengewehr.")},
    {"a question and its answer, a series, a wrapped question (Quiz)",
     {L"--fragen"},
     "%\nWas ist Orange, tiefergelegt und f\xc3\xa4hrt ganz schnell?\nEin Manta"
     "rinchen.\n%\nWas ist schwarz und h\xc3\xa4ngt im Baum?\nEin Spanner nach "
     "einem Waldbrand!\n\nWas ist rot und h\xc3\xa4ngt daneben?\nDas Fernglas -"
     " es gl\xc3\xbcht noch.\n%\nWie nennt man die H\xc3\xb6he, in welcher sich"
     " der Kopf eines Rindes \xc3\xbc"
     "ber dem\nBoden befindet, wenn es sich e"
     "inen Meter tief hinunterbeugt?\nKuhb\xc3\xbc"
     "ckmeter.\n",
     std::string("Was ist Orange, tiefergelegt und f\xe4hrt ganz schnell?\x12"
                 "Ein Mantari"
                 "nchen."
                 "\n"
                 "Was ist schwarz und h\xe4ngt im Baum?\x12"
                 "Ein Spanner nach einem Waldbr"
                 "and!\x11\x11Was ist rot und h\xe4ngt daneben?\x12"
                 "Das Fernglas - es gl"
                 "\xfcht noch."
                 "\n"
                 "Wie nennt man die H\xf6he, in welcher sich der Kopf eines Rindes \xfc"
                 "b"
                 "er dem\x11"
                 "Boden befindet, wenn es sich einen Meter tief hinunterbeugt?"
                 "\x12Kuhb\xfc"
                 "ckmeter.")},
    {"a dialogue and a quotation's source are no riddles (Witze, Unfug)",
     {L"--fragen"},
     "%\nFrau: Liebling, wo willst du n\xc3\xa4"
     "chstes Jahr Urlaub machen?\nM"
     "ann: Am liebsten dort, wo ich noch nie war.\n%\nWarum sind Glasaugen aus "
     "Glas?\n  -- Bernd Pfarr\n",
     std::string("Frau: Liebling, wo willst du n\xe4"
                 "chstes Jahr Urlaub machen?\x11Mann: "
                 "Am liebsten dort, wo ich noch nie war."
                 "\n"
                 "Warum sind Glasaugen aus Glas?\x11  -- Bernd Pfarr")},
    {"a series with one question (Das Huhn und die Straße)",
     {L"--ueberschrift", L"frage"},
     "%\nWarum \xc3\xbc"
     "berquerte das Huhn die Stra\xc3\x9f"
     "e?\nPlato:\n  F"
     "\xc3\xbcr ein bedeutenderes Gut.\n%\nWarum \xc3\xbc"
     "berquerte das Huhn "
     "die Stra\xc3\x9f"
     "e?\nKarl Marx:\n  Es war historisch unvermeidlich.\n%"
     "\nWarum \xc3\xbc"
     "berquerte das Huhn die Stra\xc3\x9f"
     "e?\nRonald Reaga"
     "n:\n  Hab ich vergessen.\n",
     std::string("Warum \xfc"
                 "berquerte das Huhn die Stra\xdf"
                 "e?\x12Plato:\x11  F\xfcr e"
                 "in bedeutenderes Gut."
                 "\n"
                 "Warum \xfc"
                 "berquerte das Huhn die Stra\xdf"
                 "e?\x12Karl Marx:\x11  Es w"
                 "ar historisch unvermeidlich."
                 "\n"
                 "Warum \xfc"
                 "berquerte das Huhn die Stra\xdf"
                 "e?\x12Ronald Reagan:\x11  "
                 "Hab ich vergessen.")},
    {"a heading of two lines; a first line that leads in (Zum Bahnhof, Letzte Worte)",
     {L"--ueberschrift", L"frage"},
     "%\nEin Mensch in einer fremden Stadt fragt:\n  \"Wissen Sie, wo es zum Ba"
     "hnhof geht?\"\nSozialarbeiter: \"Keine Ahnung, aber ich fahr Dich schnell"
     " hin.\"\n%\nEin Mensch in einer fremden Stadt fragt:\n  \"Wissen Sie, wo "
     "es zum Bahnhof geht?\"\nSoziologe: \"Bahnhof? Zugfahren? Welche Klasse?\""
     "\n%\nEin Mensch in einer fremden Stadt fragt:\n  \"Wissen Sie, wo es zum "
     "Bahnhof geht?\"\nEsoteriker: \"Wenn Du da hin sollst, wirst Du den Weg au"
     "ch finden.\"\n%\nLetzte Worte eines Anglers:\n  \"Die Sache hat einen Hak"
     "en.\"\n",
     std::string("Ein Mensch in einer fremden Stadt fragt:\x11  \"Wissen Sie, wo es zum Bah"
                 "nhof geht?\"\x12Sozialarbeiter: \"Keine Ahnung, aber ich fahr Dich schnel"
                 "l hin.\""
                 "\n"
                 "Ein Mensch in einer fremden Stadt fragt:\x11  \"Wissen Sie, wo es zum Bah"
                 "nhof geht?\"\x12Soziologe: \"Bahnhof? Zugfahren? Welche Klasse?\""
                 "\n"
                 "Ein Mensch in einer fremden Stadt fragt:\x11  \"Wissen Sie, wo es zum Bah"
                 "nhof geht?\"\x12"
                 "Esoteriker: \"Wenn Du da hin sollst, wirst Du den Weg "
                 "auch finden.\""
                 "\n"
                 "Letzte Worte eines Anglers:\x12\"Die Sache hat einen Haken.\"")},
    {"a heading of a sentence over two lines goes, a joke without it stays (Kinderzitate)",
     {L"--ueberschrift", L"weg"},
     "%\n\"Das Schwein tr\xc3\xa4gt seinen Namen nicht umsonst\" - Stilbl\xc3"
     "\xbcten aus\nKinderaufs\xc3\xa4tzen: (Tiere)\n\nK\xc3\xbche d\xc3\xbcrfen"
     " nicht schnell laufen, damit sie ihre Milch nicht versch\xc3\xbctten.\n%"
     "\n\"Das Schwein tr\xc3\xa4gt seinen Namen nicht umsonst\" - Stilbl\xc3"
     "\xbcten aus\nKinderaufs\xc3\xa4tzen: (Musik)\n\nEin Dirigent ist ein Mens"
     "ch, der mit einem Stock herumfuchtelt.\n%\n\"Das Schwein tr\xc3\xa4gt sei"
     "nen Namen nicht umsonst\" - Stilbl\xc3\xbcten aus\nKinderaufs\xc3\xa4tzen"
     ":\n\nS\xc3\xa4uren k\xc3\xb6nnen \xc3\xa4"
     "chzend wirken.\n%\nWie man se"
     "in Kind nicht nennen sollte:\n  Al Kohol\n",
     std::string("K\xfche d\xfcrfen nicht schnell laufen, damit sie ihre Milch nicht versch"
                 "\xfctten."
                 "\n"
                 "Ein Dirigent ist ein Mensch, der mit einem Stock herumfuchtelt."
                 "\n"
                 "S\xe4uren k\xf6nnen \xe4"
                 "chzend wirken."
                 "\n"
                 "Wie man sein Kind nicht nennen sollte:\x11  Al Kohol")},
    {"items side by side, aligned columns (Quiz, Witze)",
     {L"--spalten"},
     "%\nWelcher Gegenstand pa\xc3\x9ft nicht in die Reihe?\n\na) Toaster      "
     "         c) Gl\xc3\xbchbirne\nb) Toaster               d) Toaster\n%\nNac"
     "h der Hochzeit: Kann ich Ihnen vorstellen: meine Frau.\nNach 10 Jahren:  "
     "  K\xc3\xb6nnen Sie sich vorstellen: meine Frau.\n",
     std::string("Welcher Gegenstand pa\xdft nicht in die Reihe?\x11\x11"
                 "a) Toaster\x11"
                 "b) Toaster\x11"
                 "c) Gl\xfchbirne\x11"
                 "d) Toaster"
                 "\n"
                 "Nach der Hochzeit: Kann ich Ihnen vorstellen: meine Frau.\x11Nach 10 Jahr"
                 "en: K\xf6nnen Sie sich vorstellen: meine Frau.")},
    {"a drawing goes, a formula stays (Windows-Witze, Mathematikerwitze)",
     {L"--ohne-bilder"},
     "%\nReale Windows Meldung:\n   /-----------------------------------\\\n   "
     "| Bitte best\xc3\xa4tigen Sie den Abbruch  |\n   |                       "
     "            |\n   |  -Best\xc3\xa4tigen-     -Abbruch-       |\n   \\----"
     "-------------------------------/\n%\nPraktischer :\n  2 * 2 = 2 * ( 1 / ("
     "1 - 1/2) )\n",
     std::string("Praktischer :\x11  2 * 2 = 2 * ( 1 / (1 - 1/2) )")},
    {"a word broken at its hyphen joins without a blank, keeping the hyphen (Witze)",
     {L"--fliesstext"},
     "%\nUm die Jahrhundertwende erfand ein Mann namens Friedolin T\xc3\xa4r einen IQ-\nTest, "
     "der die Gesamtpers\xc3\xb6nlichkeit sehr stark miteinbezog.\nCharakterst\xc3\xa4rke, "
     "Grossz\xc3\xbcgigkeit, flexibles Denken etc. wurden also\nmitbewertet. Die Skala mit der "
     "Ma\xc3\x9f"
     "einheit \"T\xc3\xa4r\" wies ein gro\xc3\x9f"
     "es\n",
     std::string("Um die Jahrhundertwende erfand ein Mann namens Friedolin T\xe4r einen IQ-Test, "
                 "der die Gesamtpers\xf6nlichkeit sehr stark miteinbezog. Charakterst\xe4rke, "
                 "Grossz\xfcgigkeit, flexibles Denken etc. wurden also mitbewertet. Die Skala "
                 "mit der Ma\xdf"
                 "einheit \"T\xe4r\" wies ein gro\xdf"
                 "es")},
    {"blank lines at a record's edges go; a question after one is still asked (Witze)",
     {L"--fragen"},
     "%\n\nDer Chefarzt zum Patienten:\n\"Warum sind Sie aus dem Operationssaal gerannt?\"\n"
     "%\n\nWas ist gelb und kann nicht schwimmen?\nEin Bagger.\n\n%\n",
     std::string("Der Chefarzt zum Patienten:\x11\"Warum sind Sie aus dem Operationssaal gerannt?"
                 "\"\nWas ist gelb und kann nicht schwimmen?\x12"
                 "Ein Bagger.")},
    {"a sentence that plainly goes on joins below a short line too (Tipps, Windows-Witze, Witze)",
     {L"--fliesstext"},
     "%\nWegen einer defekten Gl\xc3\xbchbirne im M\xc3\xa4nnerklo\nsollten sie si"
     "ch nicht gleich auf die Socken machen.\n%\nW\xc3\xa4hrend in Villa-Linux sch"
     "on gesurft wird, wird\nin Villa-Windows noch der Communicator 4.5 geladen.\n"
     "%\nFrau Meier zu ihrem Mann: \"Liebling willst Du mir 100 DM\nleihen, aber n"
     "ur 50 DM geben, dann bist Du mir 50\nschuldig, und ich Dir 50. Dann sind wir"
     " ja quitt!\"\n%\n",
     std::string("Wegen einer defekten Gl\xfchbirne im M\xe4nnerklo sollten sie sich nicht gle"
                 "ich auf die Socken machen.\nW\xe4hrend in Villa-Linux schon gesurft wird, wi"
                 "rd in Villa-Windows noch der Communicator 4.5 geladen.\nFrau Meier zu ihrem "
                 "Mann: \"Liebling willst Du mir 100 DM leihen, aber nur 50 DM geben, dann bis"
                 "t Du mir 50 schuldig, und ich Dir 50. Dann sind wir ja quitt!\"")},
    {"below a word that never ends a sentence, and below a long line, however ragged (Witze)",
     {L"--fliesstext"},
     "%\nSollte es irgendwann einen Wegfall der Gro\xc3\x9fschreibung von Substant"
     "iven\ngeben, h\xc3\xa4tte das skandal\xc3\xb6se Folgen: S\xc3\xa4tze wie\n\n"
     "ein inhaftierter floh,\nich habe liebe genossen in berlin, oder\nhelft den a"
     "rmen v\xc3\xb6geln\n%\nHalleluja, an verkaufsoffenen Samstagen ist in einer "
     "handels\xc3\xbc"
     "blichen\nFu\xc3\x9fg\xc3\xa4ngerzone ja ne Menge los. Z.B. die Verk\xc3\xa4u"
     "fer desselben.\nUnd wenn man an dem selben dran rumrubbelt, also an dem Los,"
     " nicht an\ndem Verk\xc3\xa4ufer, kann man mit etwas Gl\xc3\xbc"
     "ck ne Menge gewinnen!\nZumindest an Erfahrung. N\xc3\xa4mlich, da\xc3\x9f es"
     " im Grunde viel lohnenswerter ist,\nsein Geld in irgendwelche Brunnen zu sch"
     "mei\xc3\x9f"
     "en, als es\nf\xc3\xbcr irgendwelche Rubbel-Lose auszugeben. Bei einem Gl\xc3\xbc"
     "cksbrunnen kann es\nn\xc3\xa4mlich passieren, da\xc3\x9f man seinen Nachbarn"
     " f\xc3\xbcr blo\xc3\x9f eine Mark \nerfolgreich die Pest an den Hals w\xc3\xbcn"
     "schen kann, bei einem Rubbel-Los\ngewinnt man h\xc3\xb6"
     "chstens mal 'nen Porsche. Und auch das nur, wenn man sich\nvorher den Finger"
     " silbern rubbelt.            \nAlso - wenn Ihr noch Markst\xc3\xbc"
     "cke \xc3\xbc"
     "ber habt: rennt in die Stadt und f\xc3\xbcllt die \nBrunnen.\n%\n",
     std::string("Sollte es irgendwann einen Wegfall der Gro\xdfschreibung von Substantiven ge"
                 "ben, h\xe4tte das skandal\xf6se Folgen: S\xe4tze wie\x11\x11"
                 "ein inhaftierter floh,\x11ich habe liebe genossen in berlin, oder helft den "
                 "armen v\xf6geln\nHalleluja, an verkaufsoffenen Samstagen ist in einer handel"
                 "s\xfc"
                 "blichen Fu\xdfg\xe4ngerzone ja ne Menge los. Z.B. die Verk\xe4ufer desselben"
                 ". Und wenn man an dem selben dran rumrubbelt, also an dem Los, nicht an dem "
                 "Verk\xe4ufer, kann man mit etwas Gl\xfc"
                 "ck ne Menge gewinnen! Zumindest an Erfahrung. N\xe4mlich, da\xdf es im Grund"
                 "e viel lohnenswerter ist, sein Geld in irgendwelche Brunnen zu schmei\xdf"
                 "en, als es f\xfcr irgendwelche Rubbel-Lose auszugeben. Bei einem Gl\xfc"
                 "cksbrunnen kann es n\xe4mlich passieren, da\xdf man seinen Nachbarn f\xfcr b"
                 "lo\xdf eine Mark erfolgreich die Pest an den Hals w\xfcnschen kann, bei eine"
                 "m Rubbel-Los gewinnt man h\xf6"
                 "chstens mal 'nen Porsche. Und auch das nur, wenn man sich vorher den Finger "
                 "silbern rubbelt.\x11"
                 "Also - wenn Ihr noch Markst\xfc"
                 "cke \xfc"
                 "ber habt: rennt in die Stadt und f\xfcllt die Brunnen.")},
    {"in mid-sentence a list or a dialogue goes on with its next item or turn, a colon of the "
     "sentence does not (Windows-Witze, Rund um den Computer, Wörterbuch, Witze)",
     {L"--fliesstext"},
     "%\n10 Songs die besser zu Windows98 gepa\xc3\x9ft h\xc3\xa4tten als 'Start m"
     "e up':\n 1. Money - von Pink Floyd\n 2. Irgendein Song von den Crash Test Du"
     "mmies\n 3. Brain Damage - von Pink Floyd\n 4. Sympathy for the Devil - von d"
     "en Stones\n 5. You can't always get what you want - von den Stones\n 6. Rele"
     "ase me - von Engelbert Humperdinck\n 7. I'm Down - von den Beatles\n 8. Help"
     "! - von den Beatles\n 9. Another One Bites the Dust - von Queen\n10. Funeral"
     " for a freind - von Elton John\n%\nSupport: Durch Eingabe von RETURN kommen "
     "Sie zum n\xc3\xa4"
     "chsten Bildschirm\nDAU: 'R' 'E' 'T' 'U' 'R' 'N'\n     \"Wieso passiert denn "
     "jetzt nichts?\"\n%\nChinah:\n  fernes ervolkreiches Land.\n  wichtigster Exp"
     "ortartikel: Reisverschl\xc3\xbcsse\n  die Ernte wird j\xc3\xa4hrlich von Rei"
     "sw\xc3\xb6lfen und Reis\xc3\xbc"
     "berflutung bedroht\n  Wichtig: Beim Leisen mit dem Auto an die Lichtgeschwin"
     "digkeit halten!\n%\nKommt ein Mann in eine Apotheke und sagt mit au\xc3\x9f"
     "ergew\xc3\xb6hlich ruhiger\nStimme: \"Ich h\xc3\xa4tte gerne 100 Beruhigungs"
     "pillen!\"\nApotheker: \"Es geht mich ja nichts an, aber wozu brauchen sie de"
     "nn die\n            Pillen?\"\nMann (SCHREI, FUCHTEL): \"ES GEHT SIE IN DER "
     "TAT NICHTS AN WOZU ICH DIE\n            PILLEN BRAUCHE!!!!\"\n%\n",
     std::string("10 Songs die besser zu Windows98 gepa\xdft h\xe4tten als 'Start me up':\x11"
                 "1. Money - von Pink Floyd\x11"
                 "2. Irgendein Song von den Crash Test Dummies\x11"
                 "3. Brain Damage - von Pink Floyd\x11"
                 "4. Sympathy for the Devil - von den Stones\x11"
                 "5. You can't always get what you want - von den Stones\x11"
                 "6. Release me - von Engelbert Humperdinck\x11"
                 "7. I'm Down - von den Beatles\x11"
                 "8. Help! - von den Beatles\x11"
                 "9. Another One Bites the Dust - von Queen\x11"
                 "10. Funeral for a freind - von Elton John\nSupport: Durch Eingabe von RETURN"
                 " kommen Sie zum n\xe4"
                 "chsten Bildschirm\x11"
                 "DAU: 'R' 'E' 'T' 'U' 'R' 'N'\x11\"Wieso passiert denn jetzt nichts?\"\nChina"
                 "h:\x11"
                 "fernes ervolkreiches Land.\x11wichtigster Exportartikel: Reisverschl\xfcsse\x11"
                 "die Ernte wird j\xe4hrlich von Reisw\xf6lfen und Reis\xfc"
                 "berflutung bedroht\x11Wichtig: Beim Leisen mit dem Auto an die Lichtgeschwin"
                 "digkeit halten!\nKommt ein Mann in eine Apotheke und sagt mit au\xdf"
                 "ergew\xf6hlich ruhiger Stimme: \"Ich h\xe4tte gerne 100 Beruhigungspillen!\""
                 "\x11"
                 "Apotheker: \"Es geht mich ja nichts an, aber wozu brauchen sie denn die Pill"
                 "en?\"\x11Mann (SCHREI, FUCHTEL): \"ES GEHT SIE IN DER TAT NICHTS AN WOZU ICH"
                 " DIE PILLEN BRAUCHE!!!!\"")},
    {"text hangs under a label's first word, a quotation mark one column left (Windows-Witze, "
     "Löwenfang)",
     {L"--fliesstext"},
     "%\nWieviele Windows Programmierer werden gebraucht, um eine Gl\xc3\xbchbirne"
     "\nauszuwechseln?\n472: Einen um ein WinGetLightBulbHandle zu schreiben, eine"
     "n weiteren\n     um ein WinQueryStatusLightBulb zu schreiben, einen um ein\n"
     "     WinGetLightSwitchHandle zu schreiben.\n%\nWie f\xc3\xa4ngt man einen L\xc3\xb6w"
     "en in der W\xc3\xbcste?\n13. mathematische Methode: Die logische Methode ode"
     "r Methode des\n                          \"Tertium non datur\"\n\nMan stelle"
     " einen offenen K\xc3\xa4"
     "fig in die W\xc3\xbcste und lege ein Brett mit \nLeim daneben. Beides biete "
     "man dem L\xc3\xb6wen zum Betreten an. Der L\xc3\xb6we \nsagt dann: \"Nein, a"
     "uf den Leim gehe ich nicht!\" Nach dem \"Tertium non\ndatur\" mu\xc3\x9f er "
     "in den K\xc3\xa4"
     "fig gehen. Danach schl\xc3\xa4gt man die T\xc3\xbcr zu.\n%\n",
     std::string("Wieviele Windows Programmierer werden gebraucht, um eine Gl\xfchbirne auszuw"
                 "echseln?\x11"
                 "472: Einen um ein WinGetLightBulbHandle zu schreiben, einen weiteren um ein "
                 "WinQueryStatusLightBulb zu schreiben, einen um ein WinGetLightSwitchHandle z"
                 "u schreiben.\nWie f\xe4ngt man einen L\xf6wen in der W\xfcste?\x11"
                 "13. mathematische Methode: Die logische Methode oder Methode des \"Tertium n"
                 "on datur\"\x11\x11Man stelle einen offenen K\xe4"
                 "fig in die W\xfcste und lege ein Brett mit Leim daneben. Beides biete man de"
                 "m L\xf6wen zum Betreten an. Der L\xf6we sagt dann: \"Nein, auf den Leim gehe"
                 " ich nicht!\" Nach dem \"Tertium non datur\" mu\xdf er in den K\xe4"
                 "fig gehen. Danach schl\xe4gt man die T\xfcr zu.")},
    {"rhymed verse and a refrain keep their lines; a source keeps its tabs, other blanks before a "
     "line go (Witze, Das Huhn und die Straße, Fußball)",
     {L"--fliesstext"},
     "%\nAch wie gl\xc3\xbc"
     "cklich, ach wie schicklich,\nsozusagen herzerquicklich\nist es doch f\xc3\xbcr"
     " eine Gegend\nwenn zwei Menschen, die verm\xc3\xb6gend,\nau\xc3\x9f"
     "erdem mit sich zufrieden,\naber von Geschlecht verschieden,\nwenn nun diese,"
     " sag ich, ihre\ndazu n\xc3\xb6tigen Papiere\nund auch all die andren Sachen\n"
     "endlich mal in Ordnung machen\num in Ehren - und beizeiten! -\nhin zum Stand"
     "esamt zu schreiten,\nwie es denen, die sich lieben\nvom Gesetze vorgeschrieb"
     "en:\nDann ruft jeder freudiglich:\nGOTT SEI DANK! Sie haben sich!\n\t-- Wilh"
     "elm Busch\n%\nHausschwein konjugiert:\n \nIch hau's Schwein\nDu haust's Schw"
     "ein\ner haut's Schwein\n%\nWarum \xc3\xbc"
     "berquerte das Huhn die Stra\xc3\x9f"
     "e?\nCharles Darwin:\n  H\xc3\xbchner wurden \xc3\xbc"
     "ber eine gro\xc3\x9f"
     "e Zeitspanne von der Natur in der Art\n  ausgew\xc3\xa4hlt, da\xc3\x9f sie j"
     "etzt genetisch bereit sind, Stra\xc3\x9f"
     "en zu \xc3\xbc"
     "berqueren.\n%\nIch habe nie an unserer Chancenlosigkeit gezweifelt.\n\t\t-- "
     "Richard Golz\n%\nMeine Gl\xc3\xbc"
     "ckszahl ist die f\xc3\xbcnf! Ich bin am 5.5.55 als f\xc3\xbcnftes\nKind mein"
     "er Familie geboren, habe selbst f\xc3\xbcnf Kinder von meiner \nf\xc3\xbcnft"
     "en Frau und fahre jeden Morgen mit der Linie 5 zur Arbeit.\n-- Neulich beim "
     "Pferderennen habe ich im 5. Rennen 5000 Mark auf \ndas Pferd mit der Nummer "
     "5 gesetzt. Ob sie's glauben oder nicht, \ndas Pferd wurde 5.\n%\n",
     std::string("Ach wie gl\xfc"
                 "cklich, ach wie schicklich,\x11sozusagen herzerquicklich\x11ist es doch f\xfcr"
                 " eine Gegend\x11wenn zwei Menschen, die verm\xf6gend,\x11"
                 "au\xdf"
                 "erdem mit sich zufrieden,\x11"
                 "aber von Geschlecht verschieden,\x11wenn nun diese, sag ich, ihre\x11"
                 "dazu n\xf6tigen Papiere\x11und auch all die andren Sachen\x11"
                 "endlich mal in Ordnung machen\x11um in Ehren - und beizeiten! -\x11hin zum S"
                 "tandesamt zu schreiten,\x11wie es denen, die sich lieben\x11vom Gesetze vorg"
                 "eschrieben:\x11"
                 "Dann ruft jeder freudiglich:\x11GOTT SEI DANK! Sie haben sich!\x11\t-- Wilhe"
                 "lm Busch\nHausschwein konjugiert:\x11\x11Ich hau's Schwein\x11"
                 "Du haust's Schwein\x11"
                 "er haut's Schwein\nWarum \xfc"
                 "berquerte das Huhn die Stra\xdf"
                 "e?\x11"
                 "Charles Darwin:\x11H\xfchner wurden \xfc"
                 "ber eine gro\xdf"
                 "e Zeitspanne von der Natur in der Art ausgew\xe4hlt, da\xdf sie jetzt geneti"
                 "sch bereit sind, Stra\xdf"
                 "en zu \xfc"
                 "berqueren.\nIch habe nie an unserer Chancenlosigkeit gezweifelt.\x11\t\t-- R"
                 "ichard Golz\nMeine Gl\xfc"
                 "ckszahl ist die f\xfcnf! Ich bin am 5.5.55 als f\xfcnftes Kind meiner Famili"
                 "e geboren, habe selbst f\xfcnf Kinder von meiner f\xfcnften Frau und fahre j"
                 "eden Morgen mit der Linie 5 zur Arbeit. -- Neulich beim Pferderennen habe ic"
                 "h im 5. Rennen 5000 Mark auf das Pferd mit der Nummer 5 gesetzt. Ob sie's gl"
                 "auben oder nicht, das Pferd wurde 5.")},
    {"a question word's question takes an answer like a turn, without its A:, on its own line or "
     "after the question mark (Windows-Witze, Witze, Unfug)",
     {L"--fragen"},
     "%\nWieviele Microsoft Vize-Pr\xc3\xa4sidenten werden gebraucht, um eine Gl\xc3\xbch"
     "birne\nauszuwechseln?\nAcht: Einen um die Birne einzuschrauben und sieben um"
     " sicherzustellen,\nda\xc3\x9f Microsoft 2 Dollar f\xc3\xbcr jede Gl\xc3\xbch"
     "birne kriegt, die je auf der Welt\nausgewechselt wird.\n%\nWas sagt ein Merc"
     "edes-Fahrer, wenn sein Auto auf dem Dach liegt?\nA: Aaaaaa - Klasse.\n%\nWie"
     " vermehren sich die Stacheltiere? - Sehr sehr vorsichtig!\n%\nWas ist der Un"
     "terschied zwischen einem Motorrad und dem A-Klasse\nMercedes? Das Motorrad k"
     "ippt zur Kurveninnenseite hin um.\n%\nWas ist das: Tags\xc3\xbc"
     "ber sitzt man drauf, nachts schl\xc3\xa4"
     "ft man drin und\nmorgens putzt man sich damit die Z\xc3\xa4hne?\nEin Stuhl, "
     "ein Bett und eine Zahnb\xc3\xbcrste.\n%\n",
     std::string("Wieviele Microsoft Vize-Pr\xe4sidenten werden gebraucht, um eine Gl\xfchbirn"
                 "e\x11"
                 "auszuwechseln?\x12"
                 "Acht: Einen um die Birne einzuschrauben und sieben um sicherzustellen,\x11"
                 "da\xdf Microsoft 2 Dollar f\xfcr jede Gl\xfchbirne kriegt, die je auf der We"
                 "lt\x11"
                 "ausgewechselt wird.\nWas sagt ein Mercedes-Fahrer, wenn sein Auto auf dem Da"
                 "ch liegt?\x12"
                 "Aaaaaa - Klasse.\nWie vermehren sich die Stacheltiere?\x12- Sehr sehr vorsicht"
                 "ig!\nWas ist der Unterschied zwischen einem Motorrad und dem A-Klasse\x11Mer"
                 "cedes?\x12"
                 "Das Motorrad kippt zur Kurveninnenseite hin um.\nWas ist das: Tags\xfc"
                 "ber sitzt man drauf, nachts schl\xe4"
                 "ft man drin und\x11morgens putzt man sich damit die Z\xe4hne?\x12"
                 "Ein Stuhl, ein Bett und eine Zahnb\xfcrste.")},
    {"a question in a quotation does not end the answer (Windows-Witze)",
     {L"--fragen", L"--fliesstext"},
     "%\nWelcher Beruf ist der \xc3\xa4lteste?\nEin Chirurg, ein Architekt und ein"
     " NT-Netzwerkverwalter streiten,\nwessen Berufsstand der \xc3\xa4lteste sei.\n"
     "Der Chirurg: \"Gott entnahm Adam eine Rippe und schuf Eva. Die erste\nTat wa"
     "r eine Operation!\"\nDer Architekt widerspricht: \"Vor Adam und Eva herrscht"
     "e das Chaos.\nGott baute die Welt. Die erste Tat war eine architektonische L"
     "eistung.\"\nDer NT-Netzwerkverwalter trumpft auf: \"Und von wem stammte das "
     "Chaos?\nVon wem wohl?\"\n%\n",
     std::string("Welcher Beruf ist der \xe4lteste?\x12"
                 "Ein Chirurg, ein Architekt und ein NT-Netzwerkverwalter streiten, wessen Ber"
                 "ufsstand der \xe4lteste sei.\x11"
                 "Der Chirurg: \"Gott entnahm Adam eine Rippe und schuf Eva. Die erste Tat war"
                 " eine Operation!\"\x11"
                 "Der Architekt widerspricht: \"Vor Adam und Eva herrschte das Chaos. Gott bau"
                 "te die Welt. Die erste Tat war eine architektonische Leistung.\" Der NT-Netz"
                 "werkverwalter trumpft auf: \"Und von wem stammte das Chaos?\x11Von wem wohl?"
                 "\"")},
    {"a dash alone after a question is no answer, and the line stays as it is",
     {L"--fragen"},
     "%\nWas ist das? - \n%\nWie bitte?  --\n%\nWer war das? - -\n%\n",
     std::string("Was ist das? - \nWie bitte?  --\nWer war das? - -")},
    {"a lead-in that opens many records goes (Vornamen-Lexikon)",
     {L"--ueberschrift", L"weg"},
     "%\nSprachlexikon-Namen: STEFAN - Fu\xc3\x9f"
     "ballanh\xc3\xa4ger auf Billig-Platz\n%\nSprachlexikon-Namen: WALTRAUD - Hoch"
     "zeit v. Meeres-S\xc3\xa4ugetieren\n%\nSprachlexikon-Namen: WOLFGANG - tieris"
     "che Fortbewegungsart\n%\n",
     std::string("STEFAN - Fu\xdf"
                 "ballanh\xe4ger auf Billig-Platz\nWALTRAUD - Hochzeit v. Meeres-S\xe4ugetiere"
                 "n\nWOLFGANG - tierische Fortbewegungsart")},
};

struct Source {
    const char* what;
    std::vector<std::wstring> options;
    const wchar_t* reading; // as the import's report names it
    std::size_t riddles;    // jokes with a solution part
    std::string source;
};

// Three records of quiz: a question without "F:", one riddle with "F:"/"A:", and one without.
const std::string quizRecords = "*Literatur*\n\nFrage: Wie hei\xc3\x9f"
                                "en die drei Haudegen?\n%\nF: Wieviele Kanten hat ein W\xc3"
                                "\xbcrfel?\nA: 12 Kanten\n%\nWas ist braun und h\xc3\xbcpft von "
                                "Torte zu Torte?\nEin Tarzipan\n%\n";

// Real records of the sources whose riddles are found: by their "F:"/"A:" without --format, by
// their question, or by the one question of a series (huhn's are in the table above).
const Source sources[] = {
    {"elefanten: F:/A: records, most of the file",
     {},
     L"als R\u00e4tsel",
     2,
     "F: Was ist der Unterschied zwischen einer Traube und einem Elefanten?\nA:"
     " Eine Traube ist violett.\n%\n\"Ich f\xc3\xbchle mich richtig schlapp und"
     " schwach\", meint der Elefant\ntraurig.\n%\nF: Wie l\xc3\xa4uft man \xc3"
     "\xbc"
     "ber einen Elefanten?\nA: Am Schwanz hinaufklettern, zum Kopf sprin"
     "gen und den R\xc3\xbcssel\n   hinunterrutschen.\n%\n"},
    {"a Windows user's riddles without %, CR LF",
     {},
     L"als R\u00e4tsel",
     2,
     "F: Was ist gr\xc3\xbcn und klopft an die T\xc3\xbcr?\x0d\nA: Ein Klopfsal"
     "at.\x0d\nF: Was ist braun und h\xc3\xbcpft von Torte zu Torte?\x0d\nA: Ei"
     "n Tarzipan\x0d\n"},
    {"quiz: F:/A: in one record of three", {}, L"als Fortune-Datei", 0, quizRecords},
    {"quiz, as riddles with their questions",
     {L"--format", L"raetsel", L"--fragen"},
     L"als R\u00e4tsel",
     2,
     quizRecords},
    {"witze: \"F:\" is Fritzchen, and his dialogue no riddle",
     {L"--fragen"},
     L"als Fortune-Datei",
     1,
     "Fritzchen spielt im Sandkasten.  Kommt ein Polizist vorbei und fragt:\nP:"
     " \"Na Fritzchen, was machen wir da?\"\nF: \"Ich baue Polizisten.\"\nP: \""
     "Woraus baust Du die denn?\"\nF: \"Aus Sand und Sch****.\"\n%\nWas sagt Pe"
     "trus zum Arzt?\nLieferanten zum Hintereingang!\n%\n\"Mutti, warum hat uns"
     "er Vati so wenig Haare?\"\n\"Er denkt viel.\"\n%\n"},
    {"loewe: one question for the series",
     {L"--ueberschrift", L"frage", L"--fliesstext"},
     L"als Fortune-Datei",
     3,
     "Wie f\xc3\xa4ngt man einen L\xc3\xb6wen in der W\xc3\xbcste?\n1. mathemat"
     "ische Methode:\nMan baut sich einen K\xc3\xa4"
     "fig, setzt sich hinein un"
     "d definiert:\n\"Hier ist au\xc3\x9f"
     "en.\"\n%\nWie f\xc3\xa4ngt man eine"
     "n L\xc3\xb6wen in der W\xc3\xbcste?\n4. mathematische Methode: Die Projek"
     "tionsmethode\n\nOhne Einschr\xc3\xa4nkung der Allgemeinheit nehmen wir an"
     ", da\xc3\x9f die W\xc3\xbcste eine \nEbene ist.\n%\nWie f\xc3\xa4ngt man "
     "einen L\xc3\xb6wen in der W\xc3\xbcste?\n13. Physikalische Methode: Die N"
     "ewtonsche Methode\n\nK\xc3\xa4"
     "fig und L\xc3\xb6we ziehen sich durch di"
     "e Gravitationskraft an.\n"},
};

class EditingTest : public WitzTest {
  protected:
    int import(const std::string& source, std::vector<std::wstring> options) {
        std::filesystem::remove(root / "Witze" / "Neu");
        writeFile(L"quelle.txt", source, false);
        options.insert(options.begin(),
                       {L"import", (root / "quelle.txt").wstring(), L"--nach", L"Neu"});
        return witz(options);
    }
    std::string written() const { return fileBytes(root / "Witze" / "Neu").value_or(""); }
};

std::wstring shown(const std::string& bytes) {
    std::wstring text;
    for (char c : bytes) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return text;
}

TEST_F(EditingTest, RealRecordsBeforeAndAfterEachRule) {
    for (const Rule& rule : rules) {
        SCOPED_TRACE(rule.what);
        ASSERT_EQ(import(rule.source, rule.options), 0) << visible(err);
        EXPECT_EQ(visible(shown(written())), visible(shown(rule.written)));
    }
}

TEST_F(EditingTest, RiddlesAreFoundInRealSources) {
    for (const Source& source : sources) {
        SCOPED_TRACE(source.what);
        ASSERT_EQ(import(source.source, source.options), 0) << visible(err);
        std::string bytes = written();
        std::size_t riddles = 0;
        for (std::size_t start = 0; start <= bytes.size();) {
            std::size_t end = std::min(bytes.find('\n', start), bytes.size());
            riddles += bytes.find('\x12', start) < end ? 1 : 0;
            start = end + 1;
        }
        EXPECT_EQ(riddles, source.riddles) << visible(shown(bytes));
        EXPECT_NE(out.find(source.reading), std::wstring::npos) << visible(out);
    }
}

} // namespace
