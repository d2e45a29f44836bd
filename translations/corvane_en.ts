<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Cli</name>
    <message numerus="yes">
        <source>Remove %n attribute(s) from %1 file(s)?</source>
        <translation>
            <numerusform>Remove %n attribute from %1 file(s)?</numerusform>
            <numerusform>Remove %n attributes from %1 file(s)?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n value(s) changed since that run:</source>
        <translation>
            <numerusform>%n value changed since that run:</numerusform>
            <numerusform>%n values changed since that run:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DesktopBridge</name>
    <message numerus="yes">
        <source>%n only in Finder</source>
        <translation>
            <numerusform>%n only in Finder</numerusform>
            <numerusform>%n only in Finder</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n only on the desktop</source>
        <translation>
            <numerusform>%n only on the desktop</numerusform>
            <numerusform>%n only on the desktop</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n with a comma cannot go to the desktop</source>
        <translation>
            <numerusform>%n with a comma cannot go to the desktop</numerusform>
            <numerusform>%n with a comma cannot go to the desktop</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n with a line break cannot go to Finder</source>
        <translation>
            <numerusform>%n with a line break cannot go to Finder</numerusform>
            <numerusform>%n with a line break cannot go to Finder</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ValueWords</name>
    <message numerus="yes">
        <source>list of %n text(s)</source>
        <translation>
            <numerusform>list of %n text</numerusform>
            <numerusform>list of %n texts</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n number(s)</source>
        <translation>
            <numerusform>list of %n number</numerusform>
            <numerusform>list of %n numbers</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n true or false value(s)</source>
        <translation>
            <numerusform>list of %n true or false value</numerusform>
            <numerusform>list of %n true or false values</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n date(s)</source>
        <translation>
            <numerusform>list of %n date</numerusform>
            <numerusform>list of %n dates</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n piece(s) of data</source>
        <translation>
            <numerusform>list of %n piece of data</numerusform>
            <numerusform>list of %n pieces of data</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n list(s)</source>
        <translation>
            <numerusform>list of %n list</numerusform>
            <numerusform>list of %n lists</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n dictionary(s)</source>
        <translation>
            <numerusform>list of %n dictionary</numerusform>
            <numerusform>list of %n dictionaries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>list of %n item(s)</source>
        <translation>
            <numerusform>list of %n item</numerusform>
            <numerusform>list of %n items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>dictionary of %n entry(s)</source>
        <translation>
            <numerusform>dictionary of %n entry</numerusform>
            <numerusform>dictionary of %n entries</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n byte(s) of data</source>
        <translation>
            <numerusform>%n byte of data</numerusform>
            <numerusform>%n bytes of data</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n byte(s)</source>
        <translation>
            <numerusform>%n byte</numerusform>
            <numerusform>%n bytes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>corvane::AttributeDetailArea</name>
    <message numerus="yes">
        <source>… (%n more characters; Ctrl+C in the list copies them all)</source>
        <translation>
            <numerusform>… (%n more character; Ctrl+C in the list copies them all)</numerusform>
            <numerusform>… (%n more characters; Ctrl+C in the list copies them all)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>corvane::AttributesPanel</name>
    <message numerus="yes">
        <source>; %n shown as bytes, too large to expand</source>
        <translation>
            <numerusform>; %n shown as bytes, too large to expand</numerusform>
            <numerusform>; %n shown as bytes, too large to expand</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n attribute(s)</source>
        <translation>
            <numerusform>%n attribute</numerusform>
            <numerusform>%n attributes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>corvane::DraftBar</name>
    <message numerus="yes">
        <source>%1, %2 and %n more</source>
        <translation>
            <numerusform>%1, %2 and %n more</numerusform>
            <numerusform>%1, %2 and %n more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>corvane::RequestQueue</name>
    <message numerus="yes">
        <source>%n files could not be opened.</source>
        <translation>
            <numerusform>%n file could not be opened.</numerusform>
            <numerusform>%n files could not be opened.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>…and %n more.</source>
        <translation>
            <numerusform>…and %n more.</numerusform>
            <numerusform>…and %n more.</numerusform>
        </translation>
    </message>
</context>
</TS>
