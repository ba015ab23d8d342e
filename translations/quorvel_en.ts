<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>qv::Dialog</name>
    <message>
        <source>Snap step By X</source>
        <translation>Snap step by X</translation>
    </message>
    <message>
        <source>Snap step By Y</source>
        <translation>Snap step by Y</translation>
    </message>
    <message>
        <source>Snap color</source>
        <translation>Snap colour</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>Background colour</translation>
    </message>
    <message>
        <source>Desktop options</source>
        <translation>Desktop options</translation>
    </message>
    <message>
        <source>Insert Schem image to report</source>
        <translation>Insert the scheme picture into the report</translation>
    </message>
    <message>
        <source>Insert inital data to report</source>
        <translation>Insert the initial data into the report</translation>
    </message>
    <message>
        <source>Delete branches with zero resistance<byte value="xd"/>
перед расчетом</source>
        <translation>Delete branches with zero resistance<byte value="xd"/>
before the calculation</translation>
    </message>
    <message>
        <source>Out put report to </source>
        <translation>Output the report to </translation>
    </message>
    <message>
        <source>Microsoft Word 7.0</source>
        <translation>Microsoft Word 7.0</translation>
    </message>
    <message>
        <source>Microsoft Word 97</source>
        <translation>Microsoft Word 97</translation>
    </message>
    <message>
        <source>Internal editor</source>
        <translation>Internal editor</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Reports options</source>
        <translation>Report options</translation>
    </message>
    <message>
        <source>freqency of current and voltage sources, Hz</source>
        <translation>Frequency of the current and voltage sources, Hz</translation>
    </message>
    <message>
        <source>freqency</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Убрать заземление</source>
        <translation>Remove the ground</translation>
    </message>
    <message>
        <source>Arrow in branch</source>
        <translation>Arrow on the branch</translation>
    </message>
    <message>
        <source>Change direction</source>
        <translation>Change direction</translation>
    </message>
    <message>
        <source>Node</source>
        <translation>Node</translation>
    </message>
    <message>
        <source>Branch</source>
        <translation>Branch</translation>
    </message>
    <message>
        <source>Resistance, Ohms</source>
        <translation>Resistance, ohms</translation>
    </message>
    <message>
        <source>Reactance,  Ohms</source>
        <translation>Reactance, ohms</translation>
    </message>
    <message>
        <source>Impedance</source>
        <translation>Impedance</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>Max quantity of loopd</source>
        <translation>Maximum number of loops</translation>
    </message>
    <message>
        <source>Formed</source>
        <translation>Formed</translation>
    </message>
    <message>
        <source>Loop name</source>
        <translation>Loop name</translation>
    </message>
    <message>
        <source>Loop Branches</source>
        <translation>Loop branches</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>Loops List</source>
        <translation>Loops list</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Loop propertes</source>
        <translation>Loop properties</translation>
    </message>
    <message>
        <source>Select Loop for voltage diagramm.</source>
        <translation>Select a loop for the potential diagram</translation>
    </message>
    <message>
        <source>Currents scale Amps/cm</source>
        <translation>Current scale, A/cm</translation>
    </message>
    <message>
        <source>Voltage scale, V/cm</source>
        <translation>Voltage scale, V/cm</translation>
    </message>
    <message>
        <source>Make currents diagramm</source>
        <translation>Make the current diagram</translation>
    </message>
    <message>
        <source>Make voltage diagramm</source>
        <translation>Make the voltage diagram</translation>
    </message>
    <message>
        <source>Snap off</source>
        <translation>Snap off</translation>
    </message>
    <message>
        <source>Invisible snap</source>
        <translation>Invisible snap</translation>
    </message>
    <message>
        <source>Snap step by X</source>
        <translation>Snap step by X</translation>
    </message>
    <message>
        <source>Snap step by Y</source>
        <translation>Snap step by Y</translation>
    </message>
    <message>
        <source>Axis color</source>
        <translation>Axis colour</translation>
    </message>
    <message>
        <source>Labels color</source>
        <translation>Label colour</translation>
    </message>
    <message>
        <source>Currents scale <byte value="xd"/>
Amps/cm</source>
        <translation>Current scale,<byte value="xd"/>
A/cm</translation>
    </message>
    <message>
        <source>Voltage scale<byte value="xd"/>
V/см</source>
        <translation>Voltage scale,<byte value="xd"/>
V/cm</translation>
    </message>
    <message>
        <source>Distance between<byte value="xd"/>
label cm</source>
        <translation>Distance between<byte value="xd"/>
labels, cm</translation>
    </message>
    <message>
        <source>Distance between<byte value="xd"/>
small steps,cm</source>
        <translation>Distance between<byte value="xd"/>
small steps, cm</translation>
    </message>
    <message>
        <source>Show voltage values</source>
        <translation>Show the voltage values</translation>
    </message>
    <message>
        <source>Show currents values</source>
        <translation>Show the current values</translation>
    </message>
    <message>
        <source>Vector kind</source>
        <translation>Vector kind</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Voltage differrence</source>
        <translation>Voltage difference</translation>
    </message>
    <message>
        <source>other</source>
        <translation>other</translation>
    </message>
    <message>
        <source>Greek symbol</source>
        <translation>Greek symbol</translation>
    </message>
    <message>
        <source>Main label</source>
        <translation>Main label</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Index</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Vectory output options</source>
        <translation>Vector diagram output options</translation>
    </message>
    <message>
        <source>Vectory editor options</source>
        <translation>Vector diagram editor options</translation>
    </message>
    <message>
        <source>Vector propertes</source>
        <translation>Vector properties</translation>
    </message>
    <message>
        <source>Line color</source>
        <translation>Line colour</translation>
    </message>
    <message>
        <source>Line kind</source>
        <translation>Line style</translation>
    </message>
    <message>
        <source>Line width</source>
        <translation>Line width</translation>
    </message>
    <message>
        <source>Fill kind</source>
        <translation>Fill style</translation>
    </message>
    <message>
        <source>fill color</source>
        <translation>Fill colour</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>Underlined</source>
        <translation>Underlined</translation>
    </message>
    <message>
        <source>Strikeout</source>
        <translation>Strikeout</translation>
    </message>
    <message>
        <source>Graphics propertes</source>
        <translation>Graphics properties</translation>
    </message>
    <message>
        <source>Text input</source>
        <translation>Text input</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>РПН</source>
        <translation>On-load tap changer</translation>
    </message>
    <message>
        <source>ПБВ</source>
        <translation>Off-circuit tap changer</translation>
    </message>
    <message>
        <source>Параметры сечения</source>
        <translation>Conductor data</translation>
    </message>
    <message>
        <source>Ввод параметров 2-х обмоточного тр-ра</source>
        <translation>Two-winding transformer data</translation>
    </message>
    <message>
        <source>Рассчитать Параметры</source>
        <translation>Calculate the data</translation>
    </message>
    <message>
        <source>Напряжение</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>Справочник</source>
        <translation>Catalogue</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Изменить</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>Параметры узла</source>
        <translation>Node data</translation>
    </message>
    <message>
        <source>Трансформаторная подстанция</source>
        <translation>Transformer substation</translation>
    </message>
    <message>
        <source>Параметры нагрузки</source>
        <translation>Load data</translation>
    </message>
    <message>
        <source>Параметры трансформатора</source>
        <translation>Transformer data</translation>
    </message>
    <message>
        <source>Ввод параметров линии</source>
        <translation>Line data</translation>
    </message>
    <message>
        <source>Circuite breaker</source>
        <translation>Circuit breaker</translation>
    </message>
    <message>
        <source>Трансформатор</source>
        <translation>Transformer</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Schem nodes</source>
        <translation>Scheme nodes</translation>
    </message>
    <message>
        <source>Nodes number</source>
        <translation>Number of nodes</translation>
    </message>
    <message>
        <source>Branches number</source>
        <translation>Number of branches</translation>
    </message>
    <message>
        <source>Current sources
number</source>
        <translation>Number of
current sources</translation>
    </message>
    <message>
        <source>Node voltage
equations number</source>
        <translation>Number of node
voltage equations</translation>
    </message>
    <message>
        <source>Isolated areas
numbers</source>
        <translation>Number of
isolated parts</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Warnings</translation>
    </message>
    <message>
        <source>Calculation by node voltage method</source>
        <translation>Calculation by the node voltage method</translation>
    </message>
    <message>
        <source>Currents sources<byte value="xd"/>
number</source>
        <translation>Number of<byte value="xd"/>
current sources</translation>
    </message>
    <message>
        <source>Kirchoff current law<byte value="xd"/>
equations number</source>
        <translation>Number of Kirchhoff<byte value="xd"/>
current law equations</translation>
    </message>
    <message>
        <source>Isolated schem <byte value="xd"/>
arees number</source>
        <translation>Number of isolated<byte value="xd"/>
parts of the scheme</translation>
    </message>
    <message>
        <source>Kirchoff voltage law<byte value="xd"/>
equations number</source>
        <translation>Number of Kirchhoff<byte value="xd"/>
voltage law equations</translation>
    </message>
    <message>
        <source>Loops of calculated schem</source>
        <translation>Loops of the calculated scheme</translation>
    </message>
    <message>
        <source>Current sources<byte value="xd"/>
number</source>
        <translation>Number of<byte value="xd"/>
current sources</translation>
    </message>
    <message>
        <source>Kirchoff current law<byte value="xd"/>
 equations number</source>
        <translation>Number of Kirchhoff<byte value="xd"/>
current law equations</translation>
    </message>
    <message>
        <source>Isolated areas<byte value="xd"/>
of schem</source>
        <translation>Isolated parts<byte value="xd"/>
of the scheme</translation>
    </message>
    <message>
        <source>Loops without<byte value="xd"/>
 current sources</source>
        <translation>Loops without<byte value="xd"/>
current sources</translation>
    </message>
    <message>
        <source>UP</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Loops with current sources</source>
        <translation>Loops with current sources</translation>
    </message>
    <message>
        <source>Ошибки</source>
        <translation>Errors</translation>
    </message>
    <message>
        <source>Calculation by Kirchoff laws</source>
        <translation>Calculation by Kirchhoff&apos;s laws</translation>
    </message>
    <message>
        <source>Loop Up</source>
        <translation>Loop up</translation>
    </message>
    <message>
        <source>Loop Down</source>
        <translation>Loop down</translation>
    </message>
    <message>
        <source>All Loops</source>
        <translation>All loops</translation>
    </message>
    <message>
        <source>Delete Loop</source>
        <translation>Delete loop</translation>
    </message>
    <message>
        <source>Calculate By Mesh Current method</source>
        <translation>Calculation by the mesh current method</translation>
    </message>
    <message>
        <source>Attention! Branch %1 include %2 voltage sources and has nil resistance. Transform schem</source>
        <translation>Attention! Branch %1 includes %2 voltage sources and has no resistance. Transform the scheme</translation>
    </message>
    <message>
        <source>Attention! Branch %1 include %2 current sources. Calculation impossible</source>
        <translation>Attention! Branch %1 includes %2 current sources. Calculation impossible</translation>
    </message>
    <message>
        <source>Attention! Calculated schem has same isolated area. Please delete spare nodes</source>
        <translation>Attention! The calculated scheme has several isolated parts. Please delete the spare nodes</translation>
    </message>
    <message>
        <source>Attention! Branch </source>
        <translation>Attention! Branch </translation>
    </message>
    <message>
        <source>	 include </source>
        <translation>	 includes </translation>
    </message>
    <message>
        <source> current sources. Calculation impossible</source>
        <translation> current sources. Calculation impossible</translation>
    </message>
    <message>
        <source>Attention! Number of loops  greater then number of Kirchoff current laws</source>
        <translation>Attention! The number of loops is greater than the number of Kirchhoff&apos;s current law equations</translation>
    </message>
    <message>
        <source>Attention! Number of loops  less then number of Kirchoff current laws</source>
        <translation>Attention! The number of loops is less than the number of Kirchhoff&apos;s current law equations</translation>
    </message>
    <message>
        <source> include </source>
        <translation> includes </translation>
    </message>
    <message>
        <source>Attention! Number of loops with current sources greater then number of current sources</source>
        <translation>Attention! The number of loops with current sources is greater than the number of current sources</translation>
    </message>
    <message>
        <source>Attention! Number of loops with current sources less then number of current sources</source>
        <translation>Attention! The number of loops with current sources is less than the number of current sources</translation>
    </message>
    <message>
        <source>Attention! Number of loops less then number of Kirchoff current laws</source>
        <translation>Attention! The number of loops is less than the number of Kirchhoff&apos;s current law equations</translation>
    </message>
    <message>
        <source>New exercise</source>
        <translation>New exercise</translation>
    </message>
    <message>
        <source>Kind of current</source>
        <translation>Kind of current</translation>
    </message>
    <message>
        <source>Direct current</source>
        <translation>Direct current</translation>
    </message>
    <message>
        <source>Alternating current</source>
        <translation>Alternating current</translation>
    </message>
    <message>
        <source>Nodes (the grounded one included), from</source>
        <translation>Nodes (the grounded one included), from</translation>
    </message>
    <message>
        <source>to</source>
        <translation>to</translation>
    </message>
    <message>
        <source>Branches, from</source>
        <translation>Branches, from</translation>
    </message>
    <message>
        <source>Branches with a current source</source>
        <translation>Branches with a current source</translation>
    </message>
    <message>
        <source>Seed (the same seed gives the same circuit)</source>
        <translation>Seed (the same seed gives the same circuit)</translation>
    </message>
    <message>
        <source>AC values on the drawing</source>
        <translation>AC values on the drawing</translation>
    </message>
    <message>
        <source>magnitude∠angle</source>
        <translation>magnitude∠angle</translation>
    </message>
    <message>
        <source>re+j·im</source>
        <translation>re+j·im</translation>
    </message>
</context>
<context>
    <name>qv::Editor</name>
    <message>
        <source>Node</source>
        <translation>Node</translation>
    </message>
    <message>
        <source>Branch</source>
        <translation>Branch</translation>
    </message>
    <message>
        <source>Resistor</source>
        <translation>Resistor</translation>
    </message>
    <message>
        <source>DC voltage source</source>
        <translation>DC voltage source</translation>
    </message>
    <message>
        <source>DC curent source</source>
        <translation>DC current source</translation>
    </message>
    <message>
        <source>Ground</source>
        <translation>Ground</translation>
    </message>
    <message>
        <source>Capacitor</source>
        <translation>Capacitor</translation>
    </message>
    <message>
        <source>Inductor</source>
        <translation>Inductor</translation>
    </message>
    <message>
        <source>Impedance</source>
        <translation>Impedance</translation>
    </message>
    <message>
        <source>AC voltage source</source>
        <translation>AC voltage source</translation>
    </message>
    <message>
        <source>AC current source</source>
        <translation>AC current source</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>Arc</source>
        <translation>Arc</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Polygon</source>
        <translation>Polygon</translation>
    </message>
    <message>
        <source>Polyline</source>
        <translation>Polyline</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>Network node</source>
        <translation>Network node</translation>
    </message>
    <message>
        <source>Substation</source>
        <translation>Substation</translation>
    </message>
    <message>
        <source>Power line</source>
        <translation>Power line</translation>
    </message>
    <message>
        <source>Breaker</source>
        <translation>Breaker</translation>
    </message>
    <message>
        <source>Transformer</source>
        <translation>Transformer</translation>
    </message>
    <message>
        <source>Vector</source>
        <translation>Vector</translation>
    </message>
    <message>
        <source>Ветвь-</source>
        <translation>Branch-</translation>
    </message>
    <message>
        <source>Узел-</source>
        <translation>Node-</translation>
    </message>
    <message>
        <source>Pos: %1,%2</source>
        <translation>Pos: %1,%2</translation>
    </message>
    <message>
        <source>Pos: %1,%2j</source>
        <translation>Pos: %1,%2j</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Properties</translation>
    </message>
</context>
<context>
    <name>qv::Message</name>
    <message>
        <source>Import SPICE netlist</source>
        <translation>Import SPICE netlist</translation>
    </message>
    <message>
        <source>The scheme has no loops: every branch could be taken away without parting two nodes.</source>
        <translation>The scheme has no loops: every branch could be taken away without parting two nodes.</translation>
    </message>
    <message>
        <source>The scheme has %1 loop(s) of its own. Replace them by the %2 loops found?</source>
        <translation>The scheme has %1 loop(s) of its own. Replace them by the %2 loops found?</translation>
    </message>
    <message>
        <source>Find loops</source>
        <translation>Find loops</translation>
    </message>
    <message>
        <source>Invalid snap step</source>
        <translation>Invalid snap step</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>Cannot write the picture &quot;%1&quot;: %2</source>
        <translation>Cannot write the picture &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>Cannot save a picture as &quot;%1&quot;: the name must end in .emf, .svg, .pdf or .png.</source>
        <translation>Cannot save a picture as &quot;%1&quot;: the name must end in .emf, .svg, .pdf or .png.</translation>
    </message>
    <message>
        <source>PNG encoding failed</source>
        <translation>PNG encoding failed</translation>
    </message>
    <message>
        <source>The scheme has no loops; there is no loop &quot;%1&quot;.</source>
        <translation>The scheme has no loops; there is no loop &quot;%1&quot;.</translation>
    </message>
    <message>
        <source>The scheme has no loop &quot;%1&quot;; its loops are: %2.</source>
        <translation>The scheme has no loop &quot;%1&quot;; its loops are: %2.</translation>
    </message>
    <message>
        <source>The potential diagram of loop &quot;%1&quot; cannot be drawn: an element on it has no direct-current potentials (a capacitor, an inductor, an impedance or an AC source).</source>
        <translation>The potential diagram of loop &quot;%1&quot; cannot be drawn: an element on it has no direct-current potentials (a capacitor, an inductor, an impedance or an AC source).</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>&apos;%1&apos; is not a valid floating point value</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid frequency: it cannot be negative</source>
        <translation>&apos;%1&apos; is not a valid frequency: it cannot be negative</translation>
    </message>
    <message>
        <source>To calculate power balance you mast solve shem by nodes voltge method</source>
        <translation>To calculate the power balance you must solve the scheme by the node voltage method</translation>
    </message>
    <message>
        <source>Solution error</source>
        <translation>Solution error</translation>
    </message>
    <message>
        <source>Schem include direct and alternate currents devices</source>
        <translation>The scheme includes both direct and alternating current devices</translation>
    </message>
    <message>
        <source>Нарушена целостность</source>
        <translation>The loop is broken</translation>
    </message>
    <message>
        <source>Invalid input</source>
        <translation>Invalid input</translation>
    </message>
    <message>
        <source>Ветвь соедмеяет узлы разного напряжения</source>
        <translation>The branch joins nodes of different voltages</translation>
    </message>
    <message>
        <source>Предупреждение</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Show results</source>
        <translation>Show results</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Results</translation>
    </message>
    <message>
        <source>The loop list is full: it holds at most %1 loops.</source>
        <translation>The loop list is full: it holds at most %1 loops.</translation>
    </message>
    <message>
        <source>The document is full: it holds at most %1 objects.</source>
        <translation>The document is full: it holds at most %1 objects.</translation>
    </message>
    <message>
        <source>Удаляемый элемент отсутствует в списке элементов</source>
        <translation>The element to remove is not in the list of elements</translation>
    </message>
    <message>
        <source>Open Error</source>
        <translation>Open Error</translation>
    </message>
    <message>
        <source>The class registry is full: it holds at most %1 entries.</source>
        <translation>The class registry is full: it holds at most %1 entries.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid %2 value</source>
        <translation>&apos;%1&apos; is not a valid %2 value</translation>
    </message>
    <message>
        <source>floating point</source>
        <translation>floating point</translation>
    </message>
    <message>
        <source>integer</source>
        <translation>integer</translation>
    </message>
</context>
<context>
    <name>qv::Report</name>
    <message>
        <source>Solution error: </source>
        <translation>Solution error: </translation>
    </message>
    <message>
        <source>Решение</source>
        <translation>Solution</translation>
    </message>
    <message>
        <source>Writing Kirchoff current law for</source>
        <translation>Writing Kirchhoff&apos;s current law for </translation>
    </message>
    <message>
        <source> nodes</source>
        <translation> nodes</translation>
    </message>
    <message>
        <source>Wrining Kirchoff voltage law for </source>
        <translation>Writing Kirchhoff&apos;s voltage law for </translation>
    </message>
    <message>
        <source> loops</source>
        <translation> loops</translation>
    </message>
    <message>
        <source>Solution</source>
        <translation>Solution</translation>
    </message>
    <message>
        <source>Branches impedance calculation</source>
        <translation>Branch impedance calculation</translation>
    </message>
    <message>
        <source>Branch impedances calculation</source>
        <translation>Branch impedances calculation</translation>
    </message>
    <message>
        <source>Inital variables</source>
        <translation>Initial data</translation>
    </message>
    <message>
        <source>Electrical scheme</source>
        <translation>Electrical scheme</translation>
    </message>
    <message>
        <source>Nodes currents calculation</source>
        <translation>Node current calculation</translation>
    </message>
    <message>
        <source>Imbalance (sources - consumers): </source>
        <translation>Imbalance (sources - consumers): </translation>
    </message>
    <message>
        <source>, relative </source>
        <translation>, relative </translation>
    </message>
    <message>
        <source>Exercise %1</source>
        <translation>Exercise %1</translation>
    </message>
    <message>
        <source>Data:</source>
        <translation>Data:</translation>
    </message>
    <message>
        <source>The grounded nodes are one point, node 0; the potentials count from it.</source>
        <translation>The grounded nodes are one point, node 0; the potentials count from it.</translation>
    </message>
    <message>
        <source>f = %1 Hz</source>
        <translation>f = %1 Hz</translation>
    </message>
    <message>
        <source>Find the currents of all branches %1.</source>
        <translation>Find the currents of all branches %1.</translation>
    </message>
    <message>
        <source>by Kirchhoff&apos;s laws</source>
        <translation>by Kirchhoff's laws</translation>
    </message>
    <message>
        <source>by the mesh-current method</source>
        <translation>by the mesh-current method</translation>
    </message>
    <message>
        <source>by the node-voltage method</source>
        <translation>by the node-voltage method</translation>
    </message>
    <message>
        <source>Exercises</source>
        <translation>Exercises</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Answers</translation>
    </message>
</context>
<context>
    <name>qv::Workbench</name>
    <message>
        <source>NewShem - </source>
        <translation>New scheme - </translation>
    </message>
    <message>
        <source>TOLV  Quorvel English</source>
        <translation>TOLV - Quorvel</translation>
    </message>
    <message>
        <source>Create vector diagramm</source>
        <translation>Create vector diagram</translation>
    </message>
    <message>
        <source>Set all branch arrows</source>
        <translation>Set all branch arrows</translation>
    </message>
    <message>
        <source>Kill all branch arrows</source>
        <translation>Kill all branch arrows</translation>
    </message>
    <message>
        <source>Loops List</source>
        <translation>Loops list</translation>
    </message>
</context>
<context>
    <name>qv::gui::LayerList</name>
    <message>
        <source>Devices</source>
        <translation>Devices</translation>
    </message>
    <message>
        <source>Nodes Labels</source>
        <translation>Node labels</translation>
    </message>
    <message>
        <source>Branch Labels</source>
        <translation>Branch labels</translation>
    </message>
    <message>
        <source>Devices Labels</source>
        <translation>Device labels</translation>
    </message>
    <message>
        <source>Drawings</source>
        <translation>Drawings</translation>
    </message>
    <message>
        <source>Additional Layer</source>
        <translation>Additional layer</translation>
    </message>
    <message>
        <source>Currents</source>
        <translation>Currents</translation>
    </message>
    <message>
        <source>Potencial</source>
        <translation>Potential</translation>
    </message>
    <message>
        <source>Potencial difference</source>
        <translation>Potential difference</translation>
    </message>
    <message>
        <source>Labels</source>
        <translation>Labels</translation>
    </message>
    <message>
        <source>Drawing</source>
        <translation>Drawing</translation>
    </message>
    <message>
        <source>Axis</source>
        <translation>Axis</translation>
    </message>
</context>
<context>
    <name>qv::gui::MainWindow</name>
    <message>
        <source>Scheme</source>
        <translation>Scheme</translation>
    </message>
    <message>
        <source>Solution</source>
        <translation>Solution</translation>
    </message>
    <message>
        <source>Vector diagram</source>
        <translation>Vector diagram</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>New</source>
        <translation>New</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Open schem</source>
        <translation>Open scheme</translation>
    </message>
    <message>
        <source>Open vector diagram</source>
        <translation>Open vector diagram</translation>
    </message>
    <message>
        <source>Recent files</source>
        <translation>Recent files</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Save As</translation>
    </message>
    <message>
        <source>Save schem</source>
        <translation>Save scheme</translation>
    </message>
    <message>
        <source>Save vector diagram</source>
        <translation>Save vector diagram</translation>
    </message>
    <message>
        <source>Save schem image</source>
        <translation>Save scheme picture</translation>
    </message>
    <message>
        <source>Save vector diagram image</source>
        <translation>Save vector diagram picture</translation>
    </message>
    <message>
        <source>Save solution</source>
        <translation>Save solution</translation>
    </message>
    <message>
        <source>Import SPICE netlist</source>
        <translation>Import SPICE netlist</translation>
    </message>
    <message>
        <source>SPICE netlist (*.cir *.net *.sp *.spice *.ckt);;All files (*)</source>
        <translation>SPICE netlist (*.cir *.net *.sp *.spice *.ckt);;All files (*)</translation>
    </message>
    <message>
        <source>Export SPICE netlist</source>
        <translation>Export SPICE netlist</translation>
    </message>
    <message>
        <source>SPICE netlist (*.cir)</source>
        <translation>SPICE netlist (*.cir)</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Print</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>Undo </source>
        <translation>Undo </translation>
    </message>
    <message>
        <source>Redo </source>
        <translation>Redo </translation>
    </message>
    <message>
        <source>Insert Device</source>
        <translation>Insert device</translation>
    </message>
    <message>
        <source>Node</source>
        <translation>Node</translation>
    </message>
    <message>
        <source>Branch</source>
        <translation>Branch</translation>
    </message>
    <message>
        <source>Resistor</source>
        <translation>Resistor</translation>
    </message>
    <message>
        <source>DC voltage source</source>
        <translation>DC voltage source</translation>
    </message>
    <message>
        <source>DC curent source</source>
        <translation>DC current source</translation>
    </message>
    <message>
        <source>Ground</source>
        <translation>Ground</translation>
    </message>
    <message>
        <source>Edit Devices</source>
        <translation>Edit devices</translation>
    </message>
    <message>
        <source>Insert Graphics</source>
        <translation>Insert graphics</translation>
    </message>
    <message>
        <source>Kill all branch arrows</source>
        <translation>Kill all branch arrows</translation>
    </message>
    <message>
        <source>Set all branch arrows</source>
        <translation>Set all branch arrows</translation>
    </message>
    <message>
        <source>Loops</source>
        <translation>Loops</translation>
    </message>
    <message>
        <source>New Loop</source>
        <translation>New loop</translation>
    </message>
    <message>
        <source>Loops List</source>
        <translation>Loops list</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>Solve by Kirchoff Laws</source>
        <translation>Solve by Kirchhoff&apos;s laws</translation>
    </message>
    <message>
        <source>Solve by mesh current method</source>
        <translation>Solve by mesh current method</translation>
    </message>
    <message>
        <source>Solve by node voltage method</source>
        <translation>Solve by node voltage method</translation>
    </message>
    <message>
        <source>Power balance</source>
        <translation>Power balance</translation>
    </message>
    <message>
        <source>Potential diagram</source>
        <translation>Potential diagram</translation>
    </message>
    <message>
        <source>Create vector diagramm</source>
        <translation>Create vector diagram</translation>
    </message>
    <message>
        <source>Freqncy</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Service</source>
        <translation>Service</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>Background and snap</source>
        <translation>Background and snap</translation>
    </message>
    <message>
        <source>Vector diagram editor</source>
        <translation>Wire catalogue</translation>
    </message>
    <message>
        <source>Справочник: the wire catalogue</source>
        <translation>The wire catalogue</translation>
    </message>
    <message>
        <source>Transformer catalogue</source>
        <translation>Transformer catalogue</translation>
    </message>
    <message>
        <source>Voltage classes</source>
        <translation>Voltage classes</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>User guide</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Drawings</source>
        <translation>Drawings</translation>
    </message>
    <message>
        <source>DC Devices</source>
        <translation>DC devices</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>Navigation</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Files</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>As written</source>
        <translation>As written</translation>
    </message>
    <message>
        <source>The language is used from the next start of the program.</source>
        <translation>The language is used from the next start of the program.</translation>
    </message>
    <message>
        <source>Power network</source>
        <translation>Power network</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>Calculation</source>
        <translation>Calculation</translation>
    </message>
    <message>
        <source>Create Loop</source>
        <translation>Create loop</translation>
    </message>
    <message>
        <source>Solve by Kirchoff Law</source>
        <translation>Solve by Kirchhoff&apos;s laws</translation>
    </message>
    <message>
        <source>Solve by loops equations</source>
        <translation>Solve by loop equations</translation>
    </message>
    <message>
        <source>Solve by nodes equations</source>
        <translation>Solve by node equations</translation>
    </message>
    <message>
        <source>Power balance calculation</source>
        <translation>Power balance calculation</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>AC Devices</source>
        <translation>AC devices</translation>
    </message>
    <message>
        <source>Drawing</source>
        <translation>Drawing</translation>
    </message>
    <message>
        <source>Drawing colour</source>
        <translation>Drawing colour</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Vector</source>
        <translation>Vector</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>Circle</translation>
    </message>
    <message>
        <source>Polygon</source>
        <translation>Polygon</translation>
    </message>
    <message>
        <source>Polyline</source>
        <translation>Polyline</translation>
    </message>
    <message>
        <source>Point</source>
        <translation>Point</translation>
    </message>
    <message>
        <source>Layers</source>
        <translation>Layers</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Pointer position</source>
        <translation>Pointer position</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Save file?</source>
        <translation>Save file?</translation>
    </message>
    <message>
        <source>TOLV  Quorvel Workshop (*.qvw)</source>
        <translation>Quorvel workshops (*.qvw)</translation>
    </message>
    <message>
        <source>Schem file(*.tbe)</source>
        <translation>Scheme files (*.tbe)</translation>
    </message>
    <message>
        <source>Vectory(*.qvv)</source>
        <translation>Vector diagrams (*.qvv)</translation>
    </message>
    <message>
        <source>Cannot print.</source>
        <translation>Cannot print.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Move</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Properties</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Snap</source>
        <translation>Snap</translation>
    </message>
    <message>
        <source>Axis</source>
        <translation>Axis</translation>
    </message>
    <message>
        <source>Snap options</source>
        <translation>Snap options</translation>
    </message>
    <message>
        <source>Background options</source>
        <translation>Background options</translation>
    </message>
    <message>
        <source>Enhanced Metafiles (*.emf)</source>
        <translation>Enhanced Metafiles (*.emf)</translation>
    </message>
    <message>
        <source>SVG pictures (*.svg)</source>
        <translation>SVG pictures (*.svg)</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)</source>
        <translation>PDF documents (*.pdf)</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>These catalogue files could not be read; the built-in catalogues stand in for them until their catalogue window writes them anew:

</source>
        <translation>These catalogue files could not be read; the built-in catalogues stand in for them until their catalogue window writes them anew:

</translation>
    </message>
    <message>
        <source>Справочник</source>
        <translation>Catalogue</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Quorvel&lt;/h3&gt;&lt;p&gt;A workbench for direct- and alternating-current circuits.&lt;/p&gt;&lt;p&gt;Version %1&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Quorvel&lt;/h3&gt;&lt;p&gt;A workbench for direct- and alternating-current circuits.&lt;/p&gt;&lt;p&gt;Version %1&lt;/p&gt;</translation>
    </message>
    <message>
        <source>New exercise...</source>
        <translation>New exercise...</translation>
    </message>
    <message>
        <source>New exercise</source>
        <translation>New exercise</translation>
    </message>
    <message>
        <source>The unsaved work from %1 cannot be restored: %2.
Its recovery copy is kept as %3.</source>
        <translation>The unsaved work from %1 cannot be restored: %2.
Its recovery copy is kept as %3.</translation>
    </message>
    <message>
        <source>Restore unsaved work from %1?</source>
        <translation>Restore unsaved work from %1?</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Discard</translation>
    </message>
</context>
<context>
    <name>qv::gui::ModelDialog</name>
    <message>
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
</context>
<context>
    <name>qv::gui::PotentialWindow</name>
    <message>
        <source>Voltage diagramm</source>
        <translation>Potential diagram</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Copy to cllipboard</source>
        <translation>Copy to clipboard</translation>
    </message>
    <message>
        <source>Save To file</source>
        <translation>Save to file</translation>
    </message>
</context>
<context>
    <name>qv::gui::SchemePage</name>
    <message>
        <source>Scheme drawing</source>
        <translation>Scheme drawing</translation>
    </message>
</context>
<context>
    <name>qv::gui::SolutionPage</name>
    <message>
        <source>Solution format</source>
        <translation>Solution format</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Centre</translation>
    </message>
    <message>
        <source>Justify</source>
        <translation>Justify</translation>
    </message>
    <message>
        <source>Align right</source>
        <translation>Align right</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Underline</translation>
    </message>
</context>
<context>
    <name>qv::gui::Splash</name>
    <message>
        <source>DC and AC circuits workbench</source>
        <translation>DC and AC circuits workbench</translation>
    </message>
</context>
<context>
    <name>qv::gui::VectorCanvas</name>
    <message>
        <source>Vector diagram drawing</source>
        <translation>Vector diagram drawing</translation>
    </message>
</context>
</TS>
