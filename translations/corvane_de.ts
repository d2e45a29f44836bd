<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Alerts</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorieren</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Herunterladen</translation>
    </message>
</context>
<context>
    <name>AttributeCodec</name>
    <message>
        <source>The text could not be stored as a property list (%1).</source>
        <translation>Der Text konnte nicht als Property List gespeichert werden (%1).</translation>
    </message>
    <message>
        <source>not a string</source>
        <translation>keine Zeichenkette</translation>
    </message>
    <message>
        <source>The text contains an incomplete Unicode character (a lone surrogate %1), which cannot be stored.</source>
        <translation>Der Text enthält ein unvollständiges Unicode-Zeichen (ein einzelnes Surrogat %1), das nicht gespeichert werden kann.</translation>
    </message>
    <message>
        <source>The text contains the control character %1, which plain text cannot hold.</source>
        <translation>Der Text enthält das Steuerzeichen %1, das reiner Text nicht aufnehmen kann.</translation>
    </message>
    <message>
        <source>The text contains the control character %1, which cannot be stored in a property list.</source>
        <translation>Der Text enthält das Steuerzeichen %1, das sich nicht in einer Property List speichern lässt.</translation>
    </message>
</context>
<context>
    <name>AttributeLabels</name>
    <message>
        <source>Keywords</source>
        <translation>Schlüsselwörter</translation>
    </message>
    <message>
        <source>Authors</source>
        <translation>Autoren</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Copyright</source>
        <translation>Copyright</translation>
    </message>
    <message>
        <source>Creator</source>
        <translation>Ersteller</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Beschreibung</translation>
    </message>
    <message>
        <source>FinderComment</source>
        <translation>Finder-Kommentar</translation>
    </message>
    <message>
        <source>Headline</source>
        <translation>Überschrift</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Languages</source>
        <translation>Sprachen</translation>
    </message>
    <message>
        <source>Projects</source>
        <translation>Projekte</translation>
    </message>
    <message>
        <source>Subject</source>
        <translation>Thema</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Titel</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>ApplicationCategories</source>
        <translation>Programmkategorien</translation>
    </message>
    <message>
        <source>Where from</source>
        <translation>Herkunft</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>Heruntergeladen</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Tags</translation>
    </message>
    <message>
        <source>Quarantine</source>
        <translation>Quarantäne</translation>
    </message>
    <message>
        <source>Finder info</source>
        <translation>Finder-Info</translation>
    </message>
    <message>
        <source>Last opened</source>
        <translation>Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>Resource fork</source>
        <translation>Resource-Fork</translation>
    </message>
    <message>
        <source>Comment (desktop)</source>
        <translation>Kommentar (Desktop)</translation>
    </message>
    <message>
        <source>Tags (desktop)</source>
        <translation>Tags (Desktop)</translation>
    </message>
    <message>
        <source>Origin address</source>
        <translation>Herkunftsadresse</translation>
    </message>
    <message>
        <source>Referrer address</source>
        <translation>Verweisadresse</translation>
    </message>
    <message>
        <source>Created by</source>
        <translation>Erstellt von</translation>
    </message>
    <message>
        <source>Published by</source>
        <translation>Veröffentlicht von</translation>
    </message>
    <message>
        <source>Language (desktop)</source>
        <translation>Sprache (Desktop)</translation>
    </message>
    <message>
        <source>DOS attributes</source>
        <translation>DOS-Attribute</translation>
    </message>
    <message>
        <source>Finder info (AFP)</source>
        <translation>Finder-Info (AFP)</translation>
    </message>
    <message>
        <source>Resource fork (AFP)</source>
        <translation>Resource-Fork (AFP)</translation>
    </message>
    <message>
        <source>Zone identifier</source>
        <translation>Zonenkennung</translation>
    </message>
    <message>
        <source>SELinux context</source>
        <translation>SELinux-Kontext</translation>
    </message>
    <message>
        <source>Capabilities</source>
        <translation>Capabilities</translation>
    </message>
    <message>
        <source>Access control list</source>
        <translation>Zugriffssteuerungsliste</translation>
    </message>
    <message>
        <source>Default access control list</source>
        <translation>Vorgabe-Zugriffssteuerungsliste</translation>
    </message>
</context>
<context>
    <name>BridgeCopy</name>
    <message>
        <source>a value that cannot be read (it %1)</source>
        <translation>ein Wert, der sich nicht lesen lässt (er %1)</translation>
    </message>
    <message>
        <source>Replace %1 on the desktop with Finder&apos;s?</source>
        <translation>%1 auf dem Desktop durch die des Finders ersetzen?</translation>
    </message>
    <message>
        <source>Replace %1 in Finder with the desktop&apos;s?</source>
        <translation>%1 im Finder durch die des Desktops ersetzen?</translation>
    </message>
    <message>
        <source>On the desktop: %1
In Finder: %2

%3 Edit &gt; Undo puts it back.</source>
        <translation>Auf dem Desktop: %1
Im Finder: %2

%3 Bearbeiten &gt; Rückgängig stellt ihn wieder her.</translation>
    </message>
    <message>
        <source>The desktop&apos;s value is replaced.</source>
        <translation>Der Wert des Desktops wird ersetzt.</translation>
    </message>
    <message>
        <source>Finder&apos;s value is replaced, colours of tags it keeps included.</source>
        <translation>Der Wert des Finders wird ersetzt, einschließlich der Farben der Tags, die er behält.</translation>
    </message>
    <message>
        <source>Copy of “%1” to the Desktop</source>
        <translation>Kopie von „%1“ auf den Desktop</translation>
    </message>
    <message>
        <source>Copy of “%1” to Finder</source>
        <translation>Kopie von „%1“ in den Finder</translation>
    </message>
    <message>
        <source>%1 to the desktop: %2</source>
        <translation>%1 auf den Desktop: %2</translation>
    </message>
    <message>
        <source>%1 to Finder: %2</source>
        <translation>%1 in den Finder: %2</translation>
    </message>
    <message>
        <source> (left out: %1)</source>
        <translation> (ausgelassen: %1)</translation>
    </message>
</context>
<context>
    <name>BusRequests</name>
    <message>
        <source>Corvane opens at most %1 files per request, not %2</source>
        <translation>Corvane öffnet höchstens %1 Dateien je Anfrage, nicht %2</translation>
    </message>
    <message>
        <source>An address of %1 characters is over the limit of %2</source>
        <translation>Eine Adresse mit %1 Zeichen liegt über der Grenze von %2</translation>
    </message>
    <message>
        <source>%1 is not an address</source>
        <translation>%1 ist keine Adresse</translation>
    </message>
    <message>
        <source>%1 names a NUL character, which no file name holds</source>
        <translation>%1 nennt ein NUL-Zeichen, das kein Dateiname enthält</translation>
    </message>
    <message>
        <source>%1 is not the address of a file by its full path</source>
        <translation>%1 ist nicht die Adresse einer Datei mit ihrem vollen Pfad</translation>
    </message>
    <message>
        <source>No action named %1</source>
        <translation>Keine Aktion namens %1</translation>
    </message>
    <message>
        <source>The action %1 takes no parameter</source>
        <translation>Die Aktion %1 nimmt keinen Parameter</translation>
    </message>
    <message>
        <source>Corvane opens at most %1 windows for the session bus within %2 seconds; try again later</source>
        <translation>Corvane öffnet für den Sitzungsbus höchstens %1 Fenster in %2 Sekunden; versuchen Sie es später noch einmal</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>Try &apos;corvane --help&apos; for more information.</source>
        <translation>„corvane --help“ zeigt weitere Informationen.</translation>
    </message>
    <message>
        <source>standard input holds more than an attribute can (1 MiB read)</source>
        <translation>die Standardeingabe enthält mehr, als ein Attribut fassen kann (1 MiB gelesen)</translation>
    </message>
    <message>
        <source>standard input is not UTF-8 text</source>
        <translation>die Standardeingabe ist kein UTF-8-Text</translation>
    </message>
    <message numerus="yes">
        <source>Remove %n attribute(s) from %1 file(s)?</source>
        <translation>
            <numerusform>%n Attribut aus %1 Datei(en) entfernen?</numerusform>
            <numerusform>%n Attribute aus %1 Datei(en) entfernen?</numerusform>
        </translation>
    </message>
    <message>
        <source>is no dump of this version of Corvane</source>
        <translation>ist keine Sicherung dieser Corvane-Version</translation>
    </message>
    <message>
        <source>the dump</source>
        <translation>die Sicherung</translation>
    </message>
    <message>
        <source>a file&apos;s path is missing or leads outside the restore (&quot;..&quot;); skipped</source>
        <translation>der Pfad einer Datei fehlt oder führt aus der Wiederherstellung hinaus („..“); übersprungen</translation>
    </message>
    <message>
        <source>an attribute without a name in the dump; skipped</source>
        <translation>ein Attribut ohne Namen in der Sicherung; übersprungen</translation>
    </message>
    <message>
        <source>the dump holds no bytes for it (it could not be read then)</source>
        <translation>die Sicherung enthält keine Bytes dafür (es war damals nicht lesbar)</translation>
    </message>
    <message>
        <source>%1; nothing is restored</source>
        <translation>%1; nichts wird wiederhergestellt</translation>
    </message>
    <message>
        <source>a line that is no file of the dump (%1), skipped</source>
        <translation>eine Zeile, die keine Datei der Sicherung ist (%1), übersprungen</translation>
    </message>
    <message>
        <source>the dump is too large to read whole; restore the dump as Corvane wrote it</source>
        <translation>die Sicherung ist zu groß, um sie ganz zu lesen; stellen Sie die Sicherung so wieder her, wie Corvane sie geschrieben hat</translation>
    </message>
    <message>
        <source>not JSON: %1</source>
        <translation>kein JSON: %1</translation>
    </message>
    <message>
        <source>cannot make the journal&apos;s directory %1</source>
        <translation>der Ordner des Journals %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>cannot write the journal %1: %2</source>
        <translation>das Journal %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 is no journal of this version of Corvane</source>
        <translation>%1 ist kein Journal dieser Corvane-Version</translation>
    </message>
    <message>
        <source>no journal of this version of Corvane</source>
        <translation>kein Journal dieser Corvane-Version</translation>
    </message>
    <message>
        <source>%1 needs more arguments</source>
        <translation>%1 braucht weitere Argumente</translation>
    </message>
    <message>
        <source>%1 and %2 cannot be combined: one verb at a time</source>
        <translation>%1 und %2 lassen sich nicht kombinieren: immer nur ein Verb</translation>
    </message>
    <message>
        <source>--match needs a pattern (&quot;-&quot; matches every name)</source>
        <translation>--match braucht ein Muster („-“ passt auf jeden Namen)</translation>
    </message>
    <message>
        <source>--to needs a directory</source>
        <translation>--to braucht einen Ordner</translation>
    </message>
    <message>
        <source>unknown option: %1</source>
        <translation>unbekannte Option: %1</translation>
    </message>
    <message>
        <source>--kind takes list, tags, date, text or plain, not “%1”</source>
        <translation>--kind nimmt list, tags, date, text oder plain, nicht „%1“</translation>
    </message>
    <message>
        <source>--tag takes add, remove or set, then the tags</source>
        <translation>--tag nimmt add, remove oder set, dann die Tags</translation>
    </message>
    <message>
        <source>--find takes one tag</source>
        <translation>--find nimmt genau einen Tag</translation>
    </message>
    <message>
        <source>the tags are not UTF-8 text</source>
        <translation>die Tags sind kein UTF-8-Text</translation>
    </message>
    <message>
        <source>a tag name cannot hold a line break or another control character</source>
        <translation>ein Tag-Name darf keinen Zeilenumbruch und kein anderes Steuerzeichen enthalten</translation>
    </message>
    <message>
        <source>%1 needs a tag</source>
        <translation>%1 braucht einen Tag</translation>
    </message>
    <message>
        <source>%1 does not go with %2</source>
        <translation>%1 passt nicht zu %2</translation>
    </message>
    <message>
        <source>--json goes with --list</source>
        <translation>--json gehört zu --list</translation>
    </message>
    <message>
        <source>no verb given</source>
        <translation>kein Verb angegeben</translation>
    </message>
    <message>
        <source>--dry-run goes with a verb that changes attributes</source>
        <translation>--dry-run gehört zu einem Verb, das Attribute ändert</translation>
    </message>
    <message>
        <source>%1 needs at least one file</source>
        <translation>%1 braucht mindestens eine Datei</translation>
    </message>
    <message>
        <source>%1 takes no files (unexpected “%2”)</source>
        <translation>%1 nimmt keine Dateien (unerwartet: „%2“)</translation>
    </message>
    <message>
        <source>the attribute name is empty</source>
        <translation>der Attributname ist leer</translation>
    </message>
    <message>
        <source>the value is not UTF-8 text</source>
        <translation>der Wert ist kein UTF-8-Text</translation>
    </message>
    <message>
        <source>standard input cannot be both the value and a file</source>
        <translation>die Standardeingabe kann nicht zugleich Wert und Datei sein</translation>
    </message>
    <message>
        <source>Listing attributes without a window:
  --list FILE...                Prints every attribute, decoded; --json for one JSON document.
                                  corvane --list -R --match &apos;^user\.xdg\.&apos; ~/Downloads
</source>
        <translation>Attribute ohne Fenster auflisten:
  --list DATEI...               Gibt jedes Attribut entschlüsselt aus; --json für ein JSON-Dokument.
                                  corvane --list -R --match &apos;^user\.xdg\.&apos; ~/Downloads
</translation>
    </message>
    <message>
        <source>Changing attributes without a window (each run can be taken back with --undo-last):
  --set NAME VALUE FILE...      Stores VALUE as the editor&apos;s Save does (&quot;-&quot;: standard input;
                                an empty VALUE removes the attribute). NAME is a catalogue entry
                                (Keywords), a label (Where from, Tags) or a full name; a bare
                                name goes into &quot;user.&quot;.
                                  corvane --set Comment &quot;Scanned 2024&quot; scan.pdf
    --kind list|tags|date|text|plain
                                Stores the value as a list (an item per line), Finder tags, a
                                date (ISO 8601), a property-list string or plain text.
                                  printf &apos;a\nb\n&apos; | corvane --set Keywords - --kind list *.jpg
  --remove NAME FILE...         Removes the attribute.
                                  corvane --remove &quot;Where from&quot; download.zip
  --tag add|remove|set TAG[,TAG...] FILE...
                                Changes the Finder tags (and the desktop&apos;s user.xdg.tags while
                                the preference bridgeTags is on).
                                  corvane --tag add Work,Urgent report.pdf
  --clear FILE...               Removes every &quot;user.&quot; attribute (asks first on a terminal).
                                  corvane --clear --yes -R build/
  --undo-last                   Puts back what the last of these runs changed.
                                  corvane --undo-last
</source>
        <translation>Attribute ohne Fenster ändern (jeder Lauf lässt sich mit --undo-last zurücknehmen):
  --set NAME WERT DATEI...      Speichert WERT so, wie es „Speichern“ im Editor tut („-“: Standard-
                                eingabe; ein leerer WERT entfernt das Attribut). NAME ist ein Eintrag
                                des Katalogs (Keywords), eine Bezeichnung (Where from, Tags, auch
                                deutsch: Herkunft) oder ein voller Name; ein bloßer Name kommt
                                nach „user.“.
                                  corvane --set Comment &quot;Gescannt 2024&quot; scan.pdf
    --kind list|tags|date|text|plain
                                Speichert den Wert als Liste (ein Eintrag je Zeile), Finder-Tags,
                                Datum (ISO 8601), Property-List-Zeichenkette oder reinen Text.
                                  printf &apos;a\nb\n&apos; | corvane --set Keywords - --kind list *.jpg
  --remove NAME DATEI...        Entfernt das Attribut.
                                  corvane --remove &quot;Where from&quot; download.zip
  --tag add|remove|set TAG[,TAG...] DATEI...
                                Ändert die Finder-Tags (und user.xdg.tags des Desktops, solange
                                die Einstellung bridgeTags an ist).
                                  corvane --tag add Arbeit,Dringend bericht.pdf
  --clear DATEI...              Entfernt jedes „user.“-Attribut (fragt im Terminal vorher).
                                  corvane --clear --yes -R build/
  --undo-last                   Stellt wieder her, was der letzte dieser Läufe geändert hat.
                                  corvane --undo-last
</translation>
    </message>
    <message>
        <source>Backing up, restoring and finding:
  --dump FILE...                Prints every attribute&apos;s exact bytes (base64) and decoded value as
                                JSON.
                                  corvane --dump -R photos &gt; backup.json
  --restore BACKUP              Writes the dumped bytes back, paths taken relative to the
                                directory of the dump (&quot;-&quot;: standard input).
                                  corvane --restore backup.json --to /mnt/copy
  --find TAG DIR...             Prints every file under DIR carrying the tag, in Finder&apos;s tags or
                                the desktop&apos;s.
                                  corvane --find Work ~/Documents
</source>
        <translation>Sichern, Wiederherstellen und Finden:
  --dump DATEI...               Gibt die genauen Bytes (Base64) und den entschlüsselten Wert jedes
                                Attributs als JSON aus.
                                  corvane --dump -R fotos &gt; sicherung.json
  --restore SICHERUNG           Schreibt die gesicherten Bytes zurück, Pfade relativ zum Ordner
                                der Sicherung („-“: Standardeingabe).
                                  corvane --restore sicherung.json --to /mnt/kopie
  --find TAG ORDNER...          Gibt jede Datei unter ORDNER aus, die den Tag trägt, in den Tags
                                des Finders oder des Desktops.
                                  corvane --find Arbeit ~/Dokumente
</translation>
    </message>
    <message>
        <source>With these verbs:
  -R, --recursive               Also every file and folder below each FILE.
  -h, --no-dereference          Acts on symbolic links themselves, not on what they point to
                                (-h alone is --help).
  --match REGEX                 Only names matching the extended regular expression, as getfattr&apos;s
                                -m (&quot;-&quot;: every name); with --list, --clear, --dump and --restore.
  --dry-run                     Says what would change, changing nothing.
  --yes                         Asks nothing (--clear, --undo-last).
  --to DIR                      With --restore: restores onto the copy in DIR.
  --labels                      Prints the catalogue entries and labels NAME takes, one per line.
</source>
        <translation>Mit diesen Verben:
  -R, --recursive               Auch jede Datei und jeder Ordner unterhalb jeder DATEI.
  -h, --no-dereference          Wirkt auf symbolische Links selbst, nicht auf ihr Ziel
                                (-h allein ist --help).
  --match REGEX                 Nur Namen, auf die der erweiterte reguläre Ausdruck passt, wie -m
                                bei getfattr („-“: jeder Name); mit --list, --clear, --dump und
                                --restore.
  --dry-run                     Sagt, was sich ändern würde, und ändert nichts.
  --yes                         Fragt nichts (--clear, --undo-last).
  --to ORDNER                   Mit --restore: stellt auf der Kopie in ORDNER wieder her.
  --labels                      Gibt die Katalogeinträge und Bezeichnungen aus, die NAME annimmt,
                                eine je Zeile.
</translation>
    </message>
    <message>
        <source>Exit status: 0 when everything was done, 1 when a file failed, 2 for a command line that is not
understood. The full grammar of the output is in corvane(1).
</source>
        <translation>Rückgabewert: 0, wenn alles erledigt wurde, 1, wenn eine Datei fehlschlug, 2 bei einer nicht
verstandenen Befehlszeile. Die vollständige Grammatik der Ausgabe steht in corvane(1).
</translation>
    </message>
    <message>
        <source>the journal (%1) holds no run to undo</source>
        <translation>das Journal (%1) enthält keinen Lauf zum Zurücknehmen</translation>
    </message>
    <message>
        <source>Undoing the run of %1: corvane %2</source>
        <translation>Der Lauf vom %1 wird zurückgenommen: corvane %2</translation>
    </message>
    <message>
        <source>%1 is damaged; nothing is put back</source>
        <translation>%1 ist beschädigt; nichts wird wiederhergestellt</translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) changed since that run:</source>
        <translation>
            <numerusform>%n Wert wurde seit diesem Lauf geändert:</numerusform>
            <numerusform>%n Werte wurden seit diesem Lauf geändert:</numerusform>
        </translation>
    </message>
    <message>
        <source>nothing is put back: that would replace what they hold now. To replace it anyway, run corvane --undo-last --yes (--dry-run shows what it would do)</source>
        <translation>nichts wird wiederhergestellt: das würde ersetzen, was sie jetzt enthalten. Um es trotzdem zu ersetzen, rufen Sie corvane --undo-last --yes auf (--dry-run zeigt, was geschähe)</translation>
    </message>
    <message>
        <source>Put back what they held before that run anyway?</source>
        <translation>Trotzdem wiederherstellen, was sie vor diesem Lauf enthielten?</translation>
    </message>
    <message>
        <source>nothing is put back</source>
        <translation>nichts wird wiederhergestellt</translation>
    </message>
    <message>
        <source>“%1” is no tag name</source>
        <translation>„%1“ ist kein Tag-Name</translation>
    </message>
    <message>
        <source>“%1” is no date; dates are ISO 8601, such as 2026-12-06T09:30:00Z</source>
        <translation>„%1“ ist kein Datum; Daten sind ISO 8601, etwa 2026-12-06T09:30:00Z</translation>
    </message>
    <message>
        <source>no date given</source>
        <translation>kein Datum angegeben</translation>
    </message>
    <message>
        <source>the Finder&apos;s tags hold a value that is no list of tags; left as it is</source>
        <translation>die Tags des Finders enthalten einen Wert, der keine Tag-Liste ist; unverändert gelassen</translation>
    </message>
    <message>
        <source>the desktop&apos;s tags hold a value that is no text; left as it is</source>
        <translation>die Tags des Desktops enthalten einen Wert, der kein Text ist; unverändert gelassen</translation>
    </message>
    <message>
        <source>%1; nothing is changed</source>
        <translation>%1; nichts wird geändert</translation>
    </message>
    <message>
        <source>nothing is changed</source>
        <translation>nichts wird geändert</translation>
    </message>
    <message>
        <source>changed by another program while Corvane ran; left as it is</source>
        <translation>von einem anderen Programm geändert, während Corvane lief; unverändert gelassen</translation>
    </message>
    <message>
        <source>the journal %1 cannot be read back; the run stopped there</source>
        <translation>das Journal %1 kann nicht zurückgelesen werden; der Lauf hat dort angehalten</translation>
    </message>
    <message>
        <source>would put back</source>
        <comment>a run&apos;s report on an attribute</comment>
        <translation>würde wiederherstellen</translation>
    </message>
    <message>
        <source>would remove</source>
        <comment>a run&apos;s report on an attribute</comment>
        <translation>würde entfernen</translation>
    </message>
    <message>
        <source>put back</source>
        <comment>a run&apos;s report on an attribute</comment>
        <translation>wiederhergestellt</translation>
    </message>
    <message>
        <source>removed</source>
        <comment>a run&apos;s report on an attribute</comment>
        <translation>entfernt</translation>
    </message>
    <message>
        <source>would set</source>
        <comment>a run&apos;s report on an attribute</comment>
        <translation>würde setzen</translation>
    </message>
    <message>
        <source>set</source>
        <comment>a run&apos;s report on an attribute</comment>
        <translation>gesetzt</translation>
    </message>
    <message>
        <source>--to-desktop and --to-mac cannot be combined: one way at a time</source>
        <translation>--to-desktop und --to-mac lassen sich nicht kombinieren: eine Richtung auf einmal</translation>
    </message>
    <message>
        <source>--match does not go with --bridge-status: the pairs&apos; names are fixed</source>
        <translation>--match passt nicht zu --bridge-status: die Namen der Paare stehen fest</translation>
    </message>
    <message>
        <source>Working with files from a Mac (Finder&apos;s tags, comment, where from and rating beside the desktop&apos;s):
  --bridge FILE...              Copies each pair held on one side only onto the other side.
                                  corvane --bridge -R ~/FromMac
    --to-desktop, --to-mac      Copies every pair not in step that way, replacing what the other
                                side holds.
                                  corvane --bridge --to-desktop photo.jpg
  --list --bridge-status FILE...
                                Says for each pair whether the two sides are in step (--json too).
</source>
        <translation>Dateien von einem Mac (Tags, Kommentar, Herkunft und Bewertung des Finders neben denen des Desktops):
  --bridge DATEI...             Kopiert jedes Paar, das nur eine Seite hält, auf die andere Seite.
                                  corvane --bridge -R ~/VomMac
    --to-desktop, --to-mac      Kopiert jedes nicht abgeglichene Paar in diese Richtung und ersetzt,
                                was die andere Seite hält.
                                  corvane --bridge --to-desktop foto.jpg
  --list --bridge-status DATEI...
                                Sagt für jedes Paar, ob beide Seiten abgeglichen sind (auch --json).
</translation>
    </message>
</context>
<context>
    <name>DesktopBridge</name>
    <message>
        <source>holds bytes that are not UTF-8 text</source>
        <translation>enthält Bytes, die kein UTF-8-Text sind</translation>
    </message>
    <message>
        <source>holds a property list, not plain text</source>
        <translation>enthält eine Property List, keinen reinen Text</translation>
    </message>
    <message>
        <source>holds %1, not %2</source>
        <translation>enthält %1, nicht %2</translation>
    </message>
    <message>
        <source>a list of tags</source>
        <translation>eine Tag-Liste</translation>
    </message>
    <message>
        <source>text</source>
        <translation>einen Text</translation>
    </message>
    <message>
        <source>a list of addresses</source>
        <translation>eine Adressliste</translation>
    </message>
    <message>
        <source>a rating from 0 to 5</source>
        <translation>eine Bewertung von 0 bis 5</translation>
    </message>
    <message>
        <source>holds “%1”, not a rating from 0 to 10</source>
        <translation>enthält „%1“, keine Bewertung von 0 bis 10</translation>
    </message>
    <message>
        <source>%1 of 5</source>
        <translation>%1 von 5</translation>
    </message>
    <message>
        <source>%1 of 10</source>
        <translation>%1 von 10</translation>
    </message>
    <message>
        <source>half a star</source>
        <translation>ein halber Stern</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Tags</translation>
    </message>
    <message>
        <source>Comment</source>
        <translation>Kommentar</translation>
    </message>
    <message>
        <source>Where from</source>
        <translation>Herkunft</translation>
    </message>
    <message>
        <source>Rating</source>
        <translation>Bewertung</translation>
    </message>
    <message>
        <source>%1 in Finder cannot be read: it %2</source>
        <translation>%1 im Finder kann nicht gelesen werden: es %2</translation>
    </message>
    <message>
        <source>%1 on the desktop cannot be read: it %2</source>
        <translation>%1 auf dem Desktop kann nicht gelesen werden: es %2</translation>
    </message>
    <message numerus="yes">
        <source>%n only in Finder</source>
        <translation>
            <numerusform>%n nur im Finder</numerusform>
            <numerusform>%n nur im Finder</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n only on the desktop</source>
        <translation>
            <numerusform>%n nur auf dem Desktop</numerusform>
            <numerusform>%n nur auf dem Desktop</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n with a comma cannot go to the desktop</source>
        <translation>
            <numerusform>%n mit Komma kann nicht auf den Desktop</numerusform>
            <numerusform>%n mit Komma können nicht auf den Desktop</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n with a line break cannot go to Finder</source>
        <translation>
            <numerusform>%n mit Zeilenumbruch kann nicht in den Finder</numerusform>
            <numerusform>%n mit Zeilenumbruch können nicht in den Finder</numerusform>
        </translation>
    </message>
    <message>
        <source>%1: none</source>
        <translation>%1: keine</translation>
    </message>
    <message>
        <source>%1: in step</source>
        <translation>%1: im Gleichklang</translation>
    </message>
    <message>
        <source>%1: only in Finder</source>
        <translation>%1: nur im Finder</translation>
    </message>
    <message>
        <source>%1: only on the desktop</source>
        <translation>%1: nur auf dem Desktop</translation>
    </message>
    <message>
        <source>%1 differs</source>
        <translation>%1 weicht ab</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>only the first two addresses can go to the desktop</source>
        <translation>nur die ersten zwei Adressen können auf den Desktop</translation>
    </message>
    <message>
        <source>half a star cannot go to Finder</source>
        <translation>ein halber Stern kann nicht in den Finder</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
</context>
<context>
    <name>EditableValue</name>
    <message>
        <source>The item “%1” contains a comma or a line break, which separate the items of a list stored as plain text.</source>
        <translation>Der Eintrag „%1“ enthält ein Komma oder einen Zeilenumbruch, die die Einträge einer als reiner Text gespeicherten Liste trennen.</translation>
    </message>
    <message>
        <source>The tag “%1” has a colour, which tags stored as plain text cannot keep.</source>
        <translation>Der Tag „%1“ hat eine Farbe, die als reiner Text gespeicherte Tags nicht behalten können.</translation>
    </message>
    <message>
        <source>This value cannot be changed in Corvane.</source>
        <translation>Dieser Wert kann in Corvane nicht geändert werden.</translation>
    </message>
    <message>
        <source>A date value holds exactly one date.</source>
        <translation>Ein Datumswert enthält genau ein Datum.</translation>
    </message>
    <message>
        <source>The value cannot be stored as an XML property list: %1.</source>
        <translation>Der Wert kann nicht als XML-Property-List gespeichert werden: %1.</translation>
    </message>
</context>
<context>
    <name>EditorWidget</name>
    <message>
        <source>Editor drop area</source>
        <translation>Ablagebereich des Editors</translation>
    </message>
    <message>
        <source>Drop a file anywhere on the window to show its attributes</source>
        <translation>Legen Sie eine Datei irgendwo im Fenster ab, um ihre Attribute zu zeigen</translation>
    </message>
    <message>
        <source>&amp;Attribute:</source>
        <translation>A&amp;ttribut:</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>Attribut</translation>
    </message>
    <message>
        <source>Choose a metadata attribute, or type a full attribute name and press Enter</source>
        <translation>Wählen Sie ein Metadaten-Attribut oder tippen Sie einen vollen Attributnamen und drücken Sie die Eingabetaste</translation>
    </message>
    <message>
        <source>Va&amp;lue:</source>
        <translation>&amp;Wert:</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>The attribute&apos;s value as text; save an empty value to remove the attribute</source>
        <translation>Der Wert des Attributs als Text; ein leerer Wert entfernt das Attribut beim Speichern</translation>
    </message>
    <message>
        <source>File path</source>
        <translation>Dateipfad</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Store the value (Ctrl+S); an empty value removes the attribute</source>
        <translation>Den Wert speichern (Strg+S); ein leerer Wert entfernt das Attribut</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Store the value; an empty value removes the attribute</source>
        <translation>Den Wert speichern; ein leerer Wert entfernt das Attribut</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Corvane Help</source>
        <translation>Corvane-Hilfe</translation>
    </message>
</context>
<context>
    <name>ScratchpadWindow</name>
    <message>
        <source>Scratchpad text</source>
        <translation>Text des Notizblocks</translation>
    </message>
    <message>
        <source>Notes kept between launches of Corvane</source>
        <translation>Notizen, die zwischen Starts von Corvane erhalten bleiben</translation>
    </message>
    <message>
        <source>Smaller</source>
        <translation>Kleiner</translation>
    </message>
    <message>
        <source>Smaller text</source>
        <translation>Kleinerer Text</translation>
    </message>
    <message>
        <source>Larger</source>
        <translation>Größer</translation>
    </message>
    <message>
        <source>Larger text</source>
        <translation>Größerer Text</translation>
    </message>
</context>
<context>
    <name>StartWindow</name>
    <message>
        <source>Drop area</source>
        <translation>Ablagebereich</translation>
    </message>
    <message>
        <source>Drop a file here to show its metadata attributes</source>
        <translation>Legen Sie hier eine Datei ab, um ihre Metadaten-Attribute zu zeigen</translation>
    </message>
    <message>
        <source>Drop a file here</source>
        <translation>Datei hier ablegen</translation>
    </message>
    <message>
        <source>&amp;Recent files:</source>
        <translation>&amp;Zuletzt geöffnete Dateien:</translation>
    </message>
    <message>
        <source>Recent files</source>
        <translation>Zuletzt geöffnete Dateien</translation>
    </message>
    <message>
        <source>Enter or a double-click opens the file</source>
        <translation>Eingabetaste oder Doppelklick öffnet die Datei</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Öffnen …</translation>
    </message>
    <message>
        <source>Choose a file to show its metadata attributes (Ctrl+O)</source>
        <translation>Eine Datei wählen, um ihre Metadaten-Attribute zu zeigen (Strg+O)</translation>
    </message>
    <message>
        <source>Open a file</source>
        <translation>Eine Datei öffnen</translation>
    </message>
</context>
<context>
    <name>UpdateFeed</name>
    <message>
        <source>Error in update Property List.</source>
        <translation>Fehler in der Property List der Aktualisierung.</translation>
    </message>
    <message>
        <source>Update Property List has no entries.</source>
        <translation>Die Property List der Aktualisierung hat keine Einträge.</translation>
    </message>
</context>
<context>
    <name>ValueText</name>
    <message>
        <source>This file system keeps no extended attributes</source>
        <translation>Dieses Dateisystem speichert keine erweiterten Attribute</translation>
    </message>
    <message>
        <source>Cannot be read: permission denied</source>
        <translation>Nicht lesbar: Zugriff verweigert</translation>
    </message>
    <message>
        <source>Cannot be read: the value or its name is too long</source>
        <translation>Nicht lesbar: der Wert oder sein Name ist zu lang</translation>
    </message>
    <message>
        <source>Cannot be read: the file is no longer there</source>
        <translation>Nicht lesbar: die Datei ist nicht mehr da</translation>
    </message>
    <message>
        <source>Cannot be read: %1</source>
        <translation>Nicht lesbar: %1</translation>
    </message>
</context>
<context>
    <name>ValueWords</name>
    <message numerus="yes">
        <source>list of %n text(s)</source>
        <translation>
            <numerusform>Liste mit %n Text</numerusform>
            <numerusform>Liste mit %n Texten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n number(s)</source>
        <translation>
            <numerusform>Liste mit %n Zahl</numerusform>
            <numerusform>Liste mit %n Zahlen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n true or false value(s)</source>
        <translation>
            <numerusform>Liste mit %n Wahrheitswert</numerusform>
            <numerusform>Liste mit %n Wahrheitswerten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n date(s)</source>
        <translation>
            <numerusform>Liste mit %n Datum</numerusform>
            <numerusform>Liste mit %n Daten</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n piece(s) of data</source>
        <translation>
            <numerusform>Liste mit %n Datenblock</numerusform>
            <numerusform>Liste mit %n Datenblöcken</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n list(s)</source>
        <translation>
            <numerusform>Liste mit %n Liste</numerusform>
            <numerusform>Liste mit %n Listen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n dictionary(s)</source>
        <translation>
            <numerusform>Liste mit %n Wörterbuch</numerusform>
            <numerusform>Liste mit %n Wörterbüchern</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n item(s)</source>
        <translation>
            <numerusform>Liste mit %n Eintrag</numerusform>
            <numerusform>Liste mit %n Einträgen</numerusform>
        </translation>
    </message>
    <message>
        <source>text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>plain text</source>
        <translation>reiner Text</translation>
    </message>
    <message>
        <source>empty list</source>
        <translation>leere Liste</translation>
    </message>
    <message>
        <source>empty dictionary</source>
        <translation>leeres Wörterbuch</translation>
    </message>
    <message numerus="yes">
        <source>dictionary of %n entry(s)</source>
        <translation>
            <numerusform>Wörterbuch mit %n Eintrag</numerusform>
            <numerusform>Wörterbuch mit %n Einträgen</numerusform>
        </translation>
    </message>
    <message>
        <source>whole number</source>
        <translation>ganze Zahl</translation>
    </message>
    <message>
        <source>number</source>
        <translation>Zahl</translation>
    </message>
    <message>
        <source>true or false</source>
        <translation>wahr oder falsch</translation>
    </message>
    <message>
        <source>date</source>
        <translation>Datum</translation>
    </message>
    <message numerus="yes">
        <source>%n byte(s) of data</source>
        <translation>
            <numerusform>%n Byte Daten</numerusform>
            <numerusform>%n Bytes Daten</numerusform>
        </translation>
    </message>
    <message>
        <source>quarantine record</source>
        <translation>Quarantäne-Eintrag</translation>
    </message>
    <message numerus="yes">
        <source>%n byte(s)</source>
        <translation>
            <numerusform>%n Byte</numerusform>
            <numerusform>%n Bytes</numerusform>
        </translation>
    </message>
    <message>
        <source>nothing</source>
        <translation>nichts</translation>
    </message>
</context>
<context>
    <name>corvane::AddAttributeDialog</name>
    <message>
        <source>Add Attribute</source>
        <translation>Attribut hinzufügen</translation>
    </message>
    <message>
        <source>Attribute name</source>
        <translation>Attributname</translation>
    </message>
    <message>
        <source>Choose an attribute, or type a full name; names outside the Linux namespaces are stored under “user.”</source>
        <translation>Wählen Sie ein Attribut oder tippen Sie einen vollen Namen; Namen außerhalb der Linux-Namensräume werden unter „user.“ gespeichert</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Tags</translation>
    </message>
    <message>
        <source>Where from</source>
        <translation>Herkunft</translation>
    </message>
    <message>
        <source>Kind of value</source>
        <translation>Art des Werts</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>List of texts</source>
        <translation>Liste von Texten</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>&amp;Name:</source>
        <translation>&amp;Name:</translation>
    </message>
    <message>
        <source>&amp;Kind:</source>
        <translation>&amp;Art:</translation>
    </message>
</context>
<context>
    <name>corvane::ApplicationActions</name>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Öffnen …</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Mi&amp;nimize</source>
        <translation>&amp;Minimieren</translation>
    </message>
    <message>
        <source>Ctrl+M</source>
        <translation>Ctrl+M</translation>
    </message>
    <message>
        <source>&amp;Scratchpad</source>
        <translation>&amp;Notizblock</translation>
    </message>
    <message>
        <source>Corvane &amp;Help</source>
        <translation>Corvane-&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Support</source>
        <translation>&amp;Unterstützung</translation>
    </message>
    <message>
        <source>&amp;Updates</source>
        <translation>&amp;Aktualisierungen</translation>
    </message>
    <message>
        <source>Update not checked</source>
        <translation>Nicht nach Aktualisierung gesucht</translation>
    </message>
    <message>
        <source>Checked for update</source>
        <translation>Nach Aktualisierung gesucht</translation>
    </message>
    <message>
        <source>&amp;Keep Desktop Tags in Step with Finder Tags</source>
        <translation>&amp;Desktop-Tags mit Finder-Tags abgleichen</translation>
    </message>
    <message>
        <source>Adding, renaming or removing a Finder tag does the same to the desktop&apos;s tags</source>
        <translation>Ein Finder-Tag hinzufügen, umbenennen oder entfernen tut dasselbe mit den Tags des Desktops</translation>
    </message>
</context>
<context>
    <name>corvane::AttributeDetailArea</name>
    <message>
        <source>binary property list</source>
        <translation>binäre Property List</translation>
    </message>
    <message>
        <source>XML property list</source>
        <translation>XML-Property-List</translation>
    </message>
    <message>
        <source>plain text</source>
        <translation>reiner Text</translation>
    </message>
    <message>
        <source>&amp;Revert</source>
        <translation>&amp;Zurücksetzen</translation>
    </message>
    <message>
        <source>A&amp;pply</source>
        <translation>A&amp;nwenden</translation>
    </message>
    <message>
        <source>Attribute value in full</source>
        <translation>Vollständiger Attributwert</translation>
    </message>
    <message>
        <source>Select an attribute to see its whole value</source>
        <translation>Wählen Sie ein Attribut, um seinen ganzen Wert zu sehen</translation>
    </message>
    <message>
        <source>Value edited</source>
        <translation>Wert bearbeitet</translation>
    </message>
    <message>
        <source>Add Attribute</source>
        <translation>Attribut hinzufügen</translation>
    </message>
    <message>
        <source>Add an attribute to the file (Edit &gt; Add Attribute…)</source>
        <translation>Der Datei ein Attribut hinzufügen (Bearbeiten &gt; Attribut hinzufügen …)</translation>
    </message>
    <message>
        <source>Revert</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Show the stored value again (Escape)</source>
        <translation>Den gespeicherten Wert wieder zeigen (Esc)</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Anwenden</translation>
    </message>
    <message>
        <source>Store the value edited here (Ctrl+S)</source>
        <translation>Den hier bearbeiteten Wert speichern (Strg+S)</translation>
    </message>
    <message numerus="yes">
        <source>… (%n more characters; Ctrl+C in the list copies them all)</source>
        <translation>
            <numerusform>… (%n weiteres Zeichen; Strg+C in der Liste kopiert alles)</numerusform>
            <numerusform>… (%n weitere Zeichen; Strg+C in der Liste kopiert alle)</numerusform>
        </translation>
    </message>
    <message>
        <source>New: %1, %2</source>
        <translation>Neu: %1, %2</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>“%1” cannot be applied as it is.</source>
        <translation>„%1“ kann so nicht übernommen werden.</translation>
    </message>
</context>
<context>
    <name>corvane::AttributesModel</name>
    <message>
        <source>Item %1</source>
        <translation>Eintrag %1</translation>
    </message>
    <message>
        <source>unreadable</source>
        <translation>nicht lesbar</translation>
    </message>
    <message>
        <source>Shown as its bytes: this property list would expand to more than %1 times its size.</source>
        <translation>Als Bytes gezeigt: diese Property List würde auf mehr als das %1-Fache ihrer Größe anwachsen.</translation>
    </message>
    <message>
        <source>The attribute&apos;s name as people call it</source>
        <translation>Der Name des Attributs, wie Menschen es nennen</translation>
    </message>
    <message>
        <source>Attribute</source>
        <translation>Attribut</translation>
    </message>
    <message>
        <source>What the value holds</source>
        <translation>Was der Wert enthält</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Art</translation>
    </message>
    <message>
        <source>Bytes stored</source>
        <translation>Gespeicherte Bytes</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
    </message>
    <message>
        <source>The value, on one line</source>
        <translation>Der Wert, in einer Zeile</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Wert</translation>
    </message>
    <message>
        <source>The attribute&apos;s full name as the system lists it</source>
        <translation>Der volle Name des Attributs, wie das System ihn auflistet</translation>
    </message>
    <message>
        <source>Full name</source>
        <translation>Voller Name</translation>
    </message>
</context>
<context>
    <name>corvane::AttributesPanel</name>
    <message>
        <source>Filter by name or value</source>
        <translation>Nach Name oder Wert filtern</translation>
    </message>
    <message>
        <source>Filter attributes</source>
        <translation>Attribute filtern</translation>
    </message>
    <message>
        <source>Shows only the attributes whose name or value contains the text</source>
        <translation>Zeigt nur die Attribute, deren Name oder Wert den Text enthält</translation>
    </message>
    <message>
        <source>Attributes</source>
        <translation>Attribute</translation>
    </message>
    <message>
        <source>Every extended attribute of the file. Enter shows the attribute in the editor, Delete removes it, Ctrl+C copies its value</source>
        <translation>Jedes erweiterte Attribut der Datei. Die Eingabetaste zeigt das Attribut im Editor, Entf entfernt es, Strg+C kopiert seinen Wert</translation>
    </message>
    <message>
        <source>Attributes status</source>
        <translation>Status der Attribute</translation>
    </message>
    <message>
        <source>%1 is no longer there: it was renamed or deleted (%2).</source>
        <translation>%1 ist nicht mehr da: die Datei wurde umbenannt oder gelöscht (%2).</translation>
    </message>
    <message>
        <source>The attributes cannot be listed: %1</source>
        <translation>Die Attribute können nicht aufgelistet werden: %1</translation>
    </message>
    <message>
        <source>The file has no extended attributes.</source>
        <translation>Die Datei hat keine erweiterten Attribute.</translation>
    </message>
    <message>
        <source>No attribute matches “%1”</source>
        <translation>Kein Attribut passt zu „%1“</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 von %2</translation>
    </message>
    <message numerus="yes">
        <source>; %n shown as bytes, too large to expand</source>
        <translation>
            <numerusform>; %n als Bytes gezeigt, zu groß zum Entfalten</numerusform>
            <numerusform>; %n als Bytes gezeigt, zu groß zum Entfalten</numerusform>
        </translation>
    </message>
    <message>
        <source>“%1” is shown here only: the editor cannot store it back as it is.</source>
        <translation>„%1“ wird hier nur gezeigt: der Editor kann es so nicht zurückspeichern.</translation>
    </message>
    <message>
        <source>“%1” cannot be removed here: the editor cannot store it back as it is.</source>
        <translation>„%1“ kann hier nicht entfernt werden: der Editor kann es so nicht zurückspeichern.</translation>
    </message>
    <message>
        <source>An item cannot be removed on its own: remove “%1” as a whole.</source>
        <translation>Ein Eintrag kann nicht allein entfernt werden: entfernen Sie „%1“ als Ganzes.</translation>
    </message>
    <message>
        <source>Remove the attribute “%1”?</source>
        <translation>Das Attribut „%1“ entfernen?</translation>
    </message>
    <message>
        <source>%1 holds %2: %3

Edit &gt; Undo puts it back.</source>
        <translation>%1 enthält %2: %3

Bearbeiten &gt; Rückgängig stellt es wieder her.</translation>
    </message>
    <message numerus="yes">
        <source>%n attribute(s)</source>
        <translation>
            <numerusform>%n Attribut</numerusform>
            <numerusform>%n Attribute</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>corvane::AttributesTreeView</name>
    <message>
        <source>%1 (unsaved)</source>
        <translation>%1 (nicht gespeichert)</translation>
    </message>
    <message>
        <source>Show &amp;Full Names</source>
        <translation>&amp;Volle Namen zeigen</translation>
    </message>
    <message>
        <source>&amp;Edit in the Editor</source>
        <translation>Im &amp;Editor bearbeiten</translation>
    </message>
    <message>
        <source>Copy &amp;Value</source>
        <translation>&amp;Wert kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>&amp;Namen kopieren</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
</context>
<context>
    <name>corvane::DesktopBridgeBar</name>
    <message>
        <source>Desktop:</source>
        <translation>Desktop:</translation>
    </message>
    <message>
        <source>Copy to Desktop</source>
        <translation>Auf Desktop kopieren</translation>
    </message>
    <message>
        <source>Copy to Finder</source>
        <translation>In Finder kopieren</translation>
    </message>
    <message>
        <source>Copy %1 to the Linux desktop</source>
        <translation>%1 auf den Linux-Desktop kopieren</translation>
    </message>
    <message>
        <source>Copy %1 to Finder</source>
        <translation>%1 in den Finder kopieren</translation>
    </message>
</context>
<context>
    <name>corvane::DocumentController</name>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
    <message>
        <source>The file could not be opened.</source>
        <translation>Die Datei konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>“%1” is not a local file.</source>
        <translation>„%1“ ist keine lokale Datei.</translation>
    </message>
    <message>
        <source>There is no file at “%1”.</source>
        <translation>Unter „%1“ gibt es keine Datei.</translation>
    </message>
    <message>
        <source>“%1” cannot be reached: %2.</source>
        <translation>„%1“ ist nicht erreichbar: %2.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>Menü leeren</translation>
    </message>
</context>
<context>
    <name>corvane::DraftBar</name>
    <message>
        <source>Unsaved text</source>
        <translation>Nicht gespeicherter Text</translation>
    </message>
    <message>
        <source>&amp;Restore</source>
        <translation>Wiede&amp;rherstellen</translation>
    </message>
    <message>
        <source>Put the unsaved text back into the value field</source>
        <translation>Den nicht gespeicherten Text zurück ins Wertfeld setzen</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>Forget the unsaved text</source>
        <translation>Den nicht gespeicherten Text vergessen</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message numerus="yes">
        <source>%1, %2 and %n more</source>
        <translation>
            <numerusform>%1, %2 und %n weiteres</numerusform>
            <numerusform>%1, %2 und %n weitere</numerusform>
        </translation>
    </message>
    <message>
        <source>Unsaved text from %1 for %2</source>
        <translation>Nicht gespeicherter Text vom %1 für %2</translation>
    </message>
</context>
<context>
    <name>corvane::EditSession</name>
    <message>
        <source>setXattr error: </source>
        <translation>setXattr-Fehler: </translation>
    </message>
    <message>
        <source>removeXattr error: </source>
        <translation>removeXattr-Fehler: </translation>
    </message>
    <message>
        <source>%1 is no longer the file that was changed: it was replaced or renamed since.</source>
        <translation>%1 ist nicht mehr die Datei, die geändert wurde: sie wurde seitdem ersetzt oder umbenannt.</translation>
    </message>
    <message>
        <source>an %1</source>
        <comment>value kind</comment>
        <translation>%1</translation>
    </message>
    <message>
        <source>a %1</source>
        <comment>value kind</comment>
        <translation>%1</translation>
    </message>
    <message>
        <source>It now holds %1, which Corvane cannot show, and that value is lost.</source>
        <translation>Es enthält jetzt einen Wert (%1), den Corvane nicht zeigen kann, und dieser Wert geht verloren.</translation>
    </message>
    <message>
        <source>The value it holds now is lost.</source>
        <translation>Der Wert, den es jetzt enthält, geht verloren.</translation>
    </message>
    <message>
        <source>“%1” was changed by another program since you opened it.</source>
        <translation>„%1“ wurde von einem anderen Programm geändert, seit Sie es geöffnet haben.</translation>
    </message>
    <message>
        <source>Saving the empty text removes it.</source>
        <translation>Das Speichern des leeren Texts entfernt es.</translation>
    </message>
    <message>
        <source>Saving replaces it with the text in the value field.</source>
        <translation>Das Speichern ersetzt es durch den Text im Wertfeld.</translation>
    </message>
    <message>
        <source>Remove the attribute “%1”?</source>
        <translation>Das Attribut „%1“ entfernen?</translation>
    </message>
    <message>
        <source>It holds %1, which Corvane cannot show. Removing the attribute loses that value.</source>
        <translation>Es enthält einen Wert (%1), den Corvane nicht zeigen kann. Das Entfernen des Attributs verliert diesen Wert.</translation>
    </message>
    <message>
        <source>Replace the value of “%1”?</source>
        <translation>Den Wert von „%1“ ersetzen?</translation>
    </message>
    <message>
        <source>It holds %1, which Corvane cannot show. Saving replaces it with the text in the value field, and the old value is lost.</source>
        <translation>Es enthält einen Wert (%1), den Corvane nicht zeigen kann. Das Speichern ersetzt ihn durch den Text im Wertfeld, und der alte Wert geht verloren.</translation>
    </message>
    <message>
        <source>“%1” was changed by another program.</source>
        <translation>„%1“ wurde von einem anderen Programm geändert.</translation>
    </message>
    <message>
        <source>It no longer holds the value shown in %1. Applying replaces its current value, which is then lost.</source>
        <translation>Es enthält nicht mehr den in %1 gezeigten Wert. Das Übernehmen ersetzt seinen jetzigen Wert, der dann verloren ist.</translation>
    </message>
    <message>
        <source>It no longer holds what Corvane saved in %1. Undoing replaces its current value, which is then lost.</source>
        <translation>Es enthält nicht mehr, was Corvane in %1 gespeichert hat. Rückgängig ersetzt seinen jetzigen Wert, der dann verloren ist.</translation>
    </message>
    <message>
        <source>It no longer holds what it held before Corvane&apos;s undo in %1. Redoing replaces its current value, which is then lost.</source>
        <translation>Es enthält nicht mehr, was es vor dem Rückgängigmachen durch Corvane in %1 enthielt. Wiederholen ersetzt seinen jetzigen Wert, der dann verloren ist.</translation>
    </message>
    <message>
        <source>Undo Change of “%1”</source>
        <translation>Änderung von „%1“ rückgängig</translation>
    </message>
    <message>
        <source>Undo Removal of “%1”</source>
        <translation>Entfernen von „%1“ rückgängig</translation>
    </message>
    <message>
        <source>Undo Save of “%1”</source>
        <translation>Speichern von „%1“ rückgängig</translation>
    </message>
    <message>
        <source>Redo Change of “%1”</source>
        <translation>Änderung von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Redo Removal of “%1”</source>
        <translation>Entfernen von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>Redo Save of “%1”</source>
        <translation>Speichern von „%1“ wiederholen</translation>
    </message>
    <message>
        <source>“%1” was changed by another program meanwhile; nothing was changed.</source>
        <translation>„%1“ wurde inzwischen von einem anderen Programm geändert; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>%1 rückgängig</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>%1 wiederholen</translation>
    </message>
</context>
<context>
    <name>corvane::EditorWidget</name>
    <message>
        <source>No value</source>
        <translation>Kein Wert</translation>
    </message>
    <message>
        <source>Holds %1: change it in the attributes list below</source>
        <translation>Enthält %1: ändern Sie es in der Attributliste unten</translation>
    </message>
    <message>
        <source>Holds an empty text</source>
        <translation>Enthält einen leeren Text</translation>
    </message>
    <message>
        <source>Attribute name</source>
        <translation>Attributname</translation>
    </message>
    <message>
        <source>An error occurred in your last action:</source>
        <translation>Bei Ihrer letzten Aktion ist ein Fehler aufgetreten:</translation>
    </message>
    <message>
        <source>Attribute: %1
File: %2</source>
        <translation>Attribut: %1
Datei: %2</translation>
    </message>
    <message>
        <source>Holds %1: show the attributes list with View &gt; Attributes to change it</source>
        <translation>Enthält %1: blenden Sie mit Ansicht &gt; Attribute die Attributliste ein, um es zu ändern</translation>
    </message>
</context>
<context>
    <name>corvane::EditorWindow</name>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Store the value; an empty value removes the attribute</source>
        <translation>Den Wert speichern; ein leerer Wert entfernt das Attribut</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles a&amp;uswählen</translation>
    </message>
    <message>
        <source>&amp;Find...</source>
        <translation>&amp;Suchen …</translation>
    </message>
    <message>
        <source>Filter the list of attributes</source>
        <translation>Die Attributliste filtern</translation>
    </message>
    <message>
        <source>Add Attri&amp;bute…</source>
        <translation>Attri&amp;but hinzufügen …</translation>
    </message>
    <message>
        <source>Add an attribute of a kind you choose to the file</source>
        <translation>Der Datei ein Attribut einer gewählten Art hinzufügen</translation>
    </message>
    <message>
        <source>&amp;Attributes</source>
        <translation>&amp;Attribute</translation>
    </message>
    <message>
        <source>Show or hide the list of every attribute of the file</source>
        <translation>Die Liste aller Attribute der Datei zeigen oder verbergen</translation>
    </message>
    <message>
        <source>&amp;Apply Change to “%1”</source>
        <translation>Änderung an „%1“ &amp;anwenden</translation>
    </message>
</context>
<context>
    <name>corvane::HelpWindow</name>
    <message>
        <source>Corvane Help</source>
        <translation>Corvane-Hilfe</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles a&amp;uswählen</translation>
    </message>
</context>
<context>
    <name>corvane::MainWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
</context>
<context>
    <name>corvane::RequestQueue</name>
    <message>
        <source>The file could not be opened.</source>
        <translation>Die Datei konnte nicht geöffnet werden.</translation>
    </message>
    <message numerus="yes">
        <source>%n files could not be opened.</source>
        <translation>
            <numerusform>%n Datei konnte nicht geöffnet werden.</numerusform>
            <numerusform>%n Dateien konnten nicht geöffnet werden.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>…and %n more.</source>
        <translation>
            <numerusform>… und %n weitere.</numerusform>
            <numerusform>… und %n weitere.</numerusform>
        </translation>
    </message>
    <message>
        <source>Corvane holds at most %1 requests while an alert is up; try again later</source>
        <translation>Corvane hält höchstens %1 Anfragen zurück, während eine Meldung offen ist; versuchen Sie es später noch einmal</translation>
    </message>
</context>
<context>
    <name>corvane::ScratchpadWindow</name>
    <message>
        <source>Scratchpad</source>
        <translation>Notizblock</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederholen</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>E&amp;infügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>Alles a&amp;uswählen</translation>
    </message>
    <message>
        <source>&amp;Larger Text</source>
        <translation>&amp;Größerer Text</translation>
    </message>
    <message>
        <source>&amp;Smaller Text</source>
        <translation>K&amp;leinerer Text</translation>
    </message>
    <message>
        <source>Larger text (%1)</source>
        <translation>Größerer Text (%1)</translation>
    </message>
    <message>
        <source>Smaller text (%1)</source>
        <translation>Kleinerer Text (%1)</translation>
    </message>
</context>
<context>
    <name>corvane::TagDotsDelegate</name>
    <message>
        <source>No colour</source>
        <translation>Keine Farbe</translation>
    </message>
    <message>
        <source>Grey</source>
        <translation>Grau</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Grün</translation>
    </message>
    <message>
        <source>Purple</source>
        <translation>Lila</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Blau</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Gelb</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rot</translation>
    </message>
    <message>
        <source>Orange</source>
        <translation>Orange</translation>
    </message>
</context>
<context>
    <name>corvane::TagsEditor</name>
    <message>
        <source>Tag name</source>
        <translation>Tag-Name</translation>
    </message>
    <message>
        <source>Tag colour</source>
        <translation>Tag-Farbe</translation>
    </message>
    <message>
        <source>Add &amp;Tag</source>
        <translation>Ta&amp;g hinzufügen</translation>
    </message>
    <message>
        <source>Re&amp;move Tag</source>
        <translation>Tag &amp;entfernen</translation>
    </message>
    <message>
        <source>Tags</source>
        <translation>Tags</translation>
    </message>
    <message>
        <source>One row per tag: F2 or typing edits the name or the colour, Delete removes the tag</source>
        <translation>Eine Zeile je Tag: F2 oder Tippen bearbeitet Name oder Farbe, Entf entfernt den Tag</translation>
    </message>
    <message>
        <source>Tag</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Colour</source>
        <translation>Farbe</translation>
    </message>
    <message>
        <source>Add Tag</source>
        <translation>Tag hinzufügen</translation>
    </message>
    <message>
        <source>Remove Tag</source>
        <translation>Tag entfernen</translation>
    </message>
</context>
<context>
    <name>corvane::TypedValueEditor</name>
    <message>
        <source>True</source>
        <translation>Wahr</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Date and time</source>
        <translation>Datum und Uhrzeit</translation>
    </message>
    <message>
        <source>In local time</source>
        <translation>In Ortszeit</translation>
    </message>
    <message>
        <source>Number</source>
        <translation>Zahl</translation>
    </message>
    <message>
        <source>True or false</source>
        <translation>Wahr oder falsch</translation>
    </message>
    <message>
        <source>Local time:</source>
        <translation>Ortszeit:</translation>
    </message>
    <message>
        <source>Number:</source>
        <translation>Zahl:</translation>
    </message>
    <message>
        <source>Texts, one per line</source>
        <translation>Texte, einer je Zeile</translation>
    </message>
    <message>
        <source>One item a line</source>
        <translation>Ein Eintrag je Zeile</translation>
    </message>
    <message>
        <source>Dates in local time, one per line</source>
        <translation>Daten in Ortszeit, ein Datum je Zeile</translation>
    </message>
    <message>
        <source>One date a line, in local time: %1</source>
        <translation>Ein Datum je Zeile, in Ortszeit: %1</translation>
    </message>
    <message>
        <source>“%1” is no date: write it as %2, in local time.</source>
        <translation>„%1“ ist kein Datum: schreiben Sie es als %2, in Ortszeit.</translation>
    </message>
    <message>
        <source>“%1” is no whole number.</source>
        <translation>„%1“ ist keine ganze Zahl.</translation>
    </message>
    <message>
        <source>“%1” is no number.</source>
        <translation>„%1“ ist keine Zahl.</translation>
    </message>
</context>
<context>
    <name>corvane::updates::UpdateChecker</name>
    <message>
        <source>An error occurred:</source>
        <translation>Ein Fehler ist aufgetreten:</translation>
    </message>
    <message>
        <source>Can&apos;t check for updates:
No app version string found.</source>
        <translation>Die Suche nach Aktualisierungen ist nicht möglich:
Keine Versionsangabe des Programms gefunden.</translation>
    </message>
    <message>
        <source>An update to this app to version %1 is available.</source>
        <translation>Eine Aktualisierung dieses Programms auf Version %1 ist verfügbar.</translation>
    </message>
    <message>
        <source>You are currently running Corvane version %1.
Please choose whether to download this update now in your default browser.</source>
        <translation>Sie verwenden zurzeit Corvane in Version %1.
Bitte wählen Sie, ob Sie diese Aktualisierung jetzt in Ihrem Standardbrowser herunterladen möchten.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>Zeigt Hilfe zu den Befehlszeilenoptionen.</translation>
    </message>
    <message>
        <source>Displays version information.</source>
        <translation>Zeigt Versionsinformationen.</translation>
    </message>
    <message>
        <source>Opens a scratchpad window.</source>
        <translation>Öffnet ein Notizblock-Fenster.</translation>
    </message>
    <message>
        <source>Shows and edits the metadata extended attributes of files. A Corvane already running in the desktop session opens the files instead.</source>
        <translation>Zeigt und bearbeitet die erweiterten Metadaten-Attribute von Dateien. Läuft in der Desktop-Sitzung schon ein Corvane, öffnet dieses die Dateien.</translation>
    </message>
    <message>
        <source>Files to open.</source>
        <translation>Zu öffnende Dateien.</translation>
    </message>
    <message>
        <source>--json goes with --list.</source>
        <translation>--json gehört zu --list.</translation>
    </message>
    <message>
        <source>Try &apos;corvane --help&apos; for more information.</source>
        <translation>„corvane --help“ zeigt weitere Informationen.</translation>
    </message>
    <message>
        <source>files</source>
        <translation>Dateien</translation>
    </message>
    <message>
        <source>[files...]</source>
        <translation>[Dateien …]</translation>
    </message>
</context>
</TS>
