<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>GetDriverConf</name>
    <message>
        <source>The downloaded settings could not be used, nothing was changed</source>
        <translation>The downloaded settings could not be used, nothing was changed</translation>
    </message>
</context>
<context>
    <name>MouseKeyPress</name>
    <message>
        <source>Open floder</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>Set the seepd of mouse</source>
        <translation>Set the speed of mouse</translation>
    </message>
    <message>
        <source>Same as all programs</source>
        <translation>Same as all programs</translation>
    </message>
</context>
<context>
    <name>MouseWheelAction</name>
    <message>
        <source>Same as all programs</source>
        <translation>Same as all programs</translation>
    </message>
</context>
<context>
    <name>ProgramBar</name>
    <message>
        <source>Remove this program</source>
        <translation>Remove this program</translation>
    </message>
    <message>
        <source>Add program</source>
        <translation>Add program</translation>
    </message>
    <message>
        <source>Programs with a window open</source>
        <translation>Programs with a window open</translation>
    </message>
    <message>
        <source>No other program has a window open</source>
        <translation>No other program has a window open</translation>
    </message>
    <message>
        <source>Choose a program file...</source>
        <translation>Choose a program file...</translation>
    </message>
    <message>
        <source>Choose a program</source>
        <translation>Choose a program</translation>
    </message>
</context>
<context>
    <name>ProgramSelector</name>
    <message>
        <source>All programs</source>
        <translation>All programs</translation>
    </message>
    <message>
        <source>At most %1 programs can be added</source>
        <translation>At most %1 programs can be added</translation>
    </message>
    <message>
        <source>This program cannot be added</source>
        <translation>This program cannot be added</translation>
    </message>
</context>
<context>
    <name>QXAbout</name>
    <message>
        <source>Software version：1.0.0</source>
        <translation>Software version: 1.0.0</translation>
    </message>
    <message>
        <source>URL：</source>
        <translation>URL: </translation>
    </message>
</context>
<context>
    <name>QApplication</name>
    <message>
        <source>Program hasbeen running!</source>
        <translation>Program has been running!</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Restore the defaults of &quot;%1&quot; only, or of all programs and every program set?</source>
        <translation>Restore the defaults of &quot;%1&quot; only, or of all programs and every program set?</translation>
    </message>
    <message>
        <source>Only this</source>
        <translation>Only this</translation>
    </message>
    <message>
        <source>Everything</source>
        <translation>Everything</translation>
    </message>
    <message>
        <source>Remove program</source>
        <translation>Remove program</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot; and the assignments made for it?</source>
        <translation>Remove &quot;%1&quot; and the assignments made for it?</translation>
    </message>
</context>
</TS>
