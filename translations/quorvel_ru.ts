<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>qv::Dialog</name>
    <message>
        <source>Snap step By X</source>
        <translation>Шаг привязки по X</translation>
    </message>
    <message>
        <source>Snap step By Y</source>
        <translation>Шаг привязки по Y</translation>
    </message>
    <message>
        <source>Snap color</source>
        <translation>Цвет привязки</translation>
    </message>
    <message>
        <source>Background color</source>
        <translation>Цвет фона</translation>
    </message>
    <message>
        <source>Desktop options</source>
        <translation>Параметры рабочего поля</translation>
    </message>
    <message>
        <source>Insert Schem image to report</source>
        <translation>Вставлять рисунок схемы в отчёт</translation>
    </message>
    <message>
        <source>Insert inital data to report</source>
        <translation>Вставлять исходные данные в отчёт</translation>
    </message>
    <message>
        <source>Delete branches with zero resistance<byte value="xd"/>
перед расчетом</source>
        <translation>Удалять ветви с нулевым сопротивлением<byte value="xd"/>
перед расчётом</translation>
    </message>
    <message>
        <source>Out put report to </source>
        <translation>Выводить отчёт в </translation>
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
        <translation>Встроенный редактор</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Reports options</source>
        <translation>Параметры отчёта</translation>
    </message>
    <message>
        <source>freqency of current and voltage sources, Hz</source>
        <translation>Частота источников тока и напряжения, Гц</translation>
    </message>
    <message>
        <source>freqency</source>
        <translation>Частота</translation>
    </message>
    <message>
        <source>Отмена</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Убрать заземление</source>
        <translation>Убрать заземление</translation>
    </message>
    <message>
        <source>Arrow in branch</source>
        <translation>Стрелка на ветви</translation>
    </message>
    <message>
        <source>Change direction</source>
        <translation>Сменить направление</translation>
    </message>
    <message>
        <source>Node</source>
        <translation>Узел</translation>
    </message>
    <message>
        <source>Branch</source>
        <translation>Ветвь</translation>
    </message>
    <message>
        <source>Resistance, Ohms</source>
        <translation>Сопротивление, Ом</translation>
    </message>
    <message>
        <source>Reactance,  Ohms</source>
        <translation>Реактивное сопротивление, Ом</translation>
    </message>
    <message>
        <source>Impedance</source>
        <translation>Комплексное сопротивление</translation>
    </message>
    <message>
        <source>ОК</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Калькулятор</translation>
    </message>
    <message>
        <source>Max quantity of loopd</source>
        <translation>Наибольшее число контуров</translation>
    </message>
    <message>
        <source>Formed</source>
        <translation>Образовано</translation>
    </message>
    <message>
        <source>Loop name</source>
        <translation>Имя контура</translation>
    </message>
    <message>
        <source>Loop Branches</source>
        <translation>Ветви контура</translation>
    </message>
    <message>
        <source>Color</source>
        <translation>Цвет</translation>
    </message>
    <message>
        <source>Loops List</source>
        <translation>Список контуров</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>Loop propertes</source>
        <translation>Свойства контура</translation>
    </message>
    <message>
        <source>Select Loop for voltage diagramm.</source>
        <translation>Выбор контура для потенциальной диаграммы</translation>
    </message>
    <message>
        <source>Currents scale Amps/cm</source>
        <translation>Масштаб токов, А/см</translation>
    </message>
    <message>
        <source>Voltage scale, V/cm</source>
        <translation>Масштаб напряжений, В/см</translation>
    </message>
    <message>
        <source>Make currents diagramm</source>
        <translation>Строить диаграмму токов</translation>
    </message>
    <message>
        <source>Make voltage diagramm</source>
        <translation>Строить диаграмму напряжений</translation>
    </message>
    <message>
        <source>Snap off</source>
        <translation>Привязка выключена</translation>
    </message>
    <message>
        <source>Invisible snap</source>
        <translation>Невидимая привязка</translation>
    </message>
    <message>
        <source>Snap step by X</source>
        <translation>Шаг привязки по X</translation>
    </message>
    <message>
        <source>Snap step by Y</source>
        <translation>Шаг привязки по Y</translation>
    </message>
    <message>
        <source>Axis color</source>
        <translation>Цвет осей</translation>
    </message>
    <message>
        <source>Labels color</source>
        <translation>Цвет надписей</translation>
    </message>
    <message>
        <source>Currents scale <byte value="xd"/>
Amps/cm</source>
        <translation>Масштаб токов,<byte value="xd"/>
А/см</translation>
    </message>
    <message>
        <source>Voltage scale<byte value="xd"/>
V/см</source>
        <translation>Масштаб напряжений,<byte value="xd"/>
В/см</translation>
    </message>
    <message>
        <source>Distance between<byte value="xd"/>
label cm</source>
        <translation>Расстояние между<byte value="xd"/>
подписями, см</translation>
    </message>
    <message>
        <source>Distance between<byte value="xd"/>
small steps,cm</source>
        <translation>Расстояние между<byte value="xd"/>
мелкими делениями, см</translation>
    </message>
    <message>
        <source>Show voltage values</source>
        <translation>Показывать значения напряжений</translation>
    </message>
    <message>
        <source>Show currents values</source>
        <translation>Показывать значения токов</translation>
    </message>
    <message>
        <source>Vector kind</source>
        <translation>Вид вектора</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Ток</translation>
    </message>
    <message>
        <source>Voltage differrence</source>
        <translation>Разность напряжений</translation>
    </message>
    <message>
        <source>other</source>
        <translation>другой</translation>
    </message>
    <message>
        <source>Greek symbol</source>
        <translation>Греческая буква</translation>
    </message>
    <message>
        <source>Main label</source>
        <translation>Основная надпись</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Индекс</translation>
    </message>
    <message>
        <source>Width</source>
        <translation>Толщина</translation>
    </message>
    <message>
        <source>Vectory output options</source>
        <translation>Параметры построения векторной диаграммы</translation>
    </message>
    <message>
        <source>Vectory editor options</source>
        <translation>Параметры редактора векторной диаграммы</translation>
    </message>
    <message>
        <source>Vector propertes</source>
        <translation>Свойства вектора</translation>
    </message>
    <message>
        <source>Line color</source>
        <translation>Цвет линии</translation>
    </message>
    <message>
        <source>Line kind</source>
        <translation>Тип линии</translation>
    </message>
    <message>
        <source>Line width</source>
        <translation>Толщина линии</translation>
    </message>
    <message>
        <source>Fill kind</source>
        <translation>Тип заливки</translation>
    </message>
    <message>
        <source>fill color</source>
        <translation>Цвет заливки</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Полужирный</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Курсив</translation>
    </message>
    <message>
        <source>Underlined</source>
        <translation>Подчёркнутый</translation>
    </message>
    <message>
        <source>Strikeout</source>
        <translation>Зачёркнутый</translation>
    </message>
    <message>
        <source>Graphics propertes</source>
        <translation>Свойства графики</translation>
    </message>
    <message>
        <source>Text input</source>
        <translation>Ввод текста</translation>
    </message>
    <message>
        <source>Font</source>
        <translation>Шрифт</translation>
    </message>
    <message>
        <source>РПН</source>
        <translation>РПН</translation>
    </message>
    <message>
        <source>ПБВ</source>
        <translation>ПБВ</translation>
    </message>
    <message>
        <source>Параметры сечения</source>
        <translation>Параметры сечения</translation>
    </message>
    <message>
        <source>Ввод параметров 2-х обмоточного тр-ра</source>
        <translation>Ввод параметров 2-х обмоточного тр-ра</translation>
    </message>
    <message>
        <source>Рассчитать Параметры</source>
        <translation>Рассчитать параметры</translation>
    </message>
    <message>
        <source>Напряжение</source>
        <translation>Напряжение</translation>
    </message>
    <message>
        <source>Справочник</source>
        <translation>Справочник</translation>
    </message>
    <message>
        <source>Добавить</source>
        <translation>Добавить</translation>
    </message>
    <message>
        <source>Удалить</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Изменить</source>
        <translation>Изменить</translation>
    </message>
    <message>
        <source>Параметры узла</source>
        <translation>Параметры узла</translation>
    </message>
    <message>
        <source>Трансформаторная подстанция</source>
        <translation>Трансформаторная подстанция</translation>
    </message>
    <message>
        <source>Параметры нагрузки</source>
        <translation>Параметры нагрузки</translation>
    </message>
    <message>
        <source>Параметры трансформатора</source>
        <translation>Параметры трансформатора</translation>
    </message>
    <message>
        <source>Ввод параметров линии</source>
        <translation>Ввод параметров линии</translation>
    </message>
    <message>
        <source>Circuite breaker</source>
        <translation>Выключатель</translation>
    </message>
    <message>
        <source>Трансформатор</source>
        <translation>Трансформатор</translation>
    </message>
    <message>
        <source>Параметры</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Вверх</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Вниз</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Все</translation>
    </message>
    <message>
        <source>Schem nodes</source>
        <translation>Узлы схемы</translation>
    </message>
    <message>
        <source>Nodes number</source>
        <translation>Число узлов</translation>
    </message>
    <message>
        <source>Branches number</source>
        <translation>Число ветвей</translation>
    </message>
    <message>
        <source>Current sources
number</source>
        <translation>Число
источников тока</translation>
    </message>
    <message>
        <source>Node voltage
equations number</source>
        <translation>Число уравнений
узловых напряжений</translation>
    </message>
    <message>
        <source>Isolated areas
numbers</source>
        <translation>Число
изолированных частей</translation>
    </message>
    <message>
        <source>Warnings</source>
        <translation>Предупреждения</translation>
    </message>
    <message>
        <source>Calculation by node voltage method</source>
        <translation>Расчёт методом узловых напряжений</translation>
    </message>
    <message>
        <source>Currents sources<byte value="xd"/>
number</source>
        <translation>Число<byte value="xd"/>
источников тока</translation>
    </message>
    <message>
        <source>Kirchoff current law<byte value="xd"/>
equations number</source>
        <translation>Число уравнений<byte value="xd"/>
по первому закону Кирхгофа</translation>
    </message>
    <message>
        <source>Isolated schem <byte value="xd"/>
arees number</source>
        <translation>Число изолированных<byte value="xd"/>
частей схемы</translation>
    </message>
    <message>
        <source>Kirchoff voltage law<byte value="xd"/>
equations number</source>
        <translation>Число уравнений<byte value="xd"/>
по второму закону Кирхгофа</translation>
    </message>
    <message>
        <source>Loops of calculated schem</source>
        <translation>Контуры рассчитываемой схемы</translation>
    </message>
    <message>
        <source>Current sources<byte value="xd"/>
number</source>
        <translation>Число<byte value="xd"/>
источников тока</translation>
    </message>
    <message>
        <source>Kirchoff current law<byte value="xd"/>
 equations number</source>
        <translation>Число уравнений<byte value="xd"/>
по первому закону Кирхгофа</translation>
    </message>
    <message>
        <source>Isolated areas<byte value="xd"/>
of schem</source>
        <translation>Изолированные<byte value="xd"/>
части схемы</translation>
    </message>
    <message>
        <source>Loops without<byte value="xd"/>
 current sources</source>
        <translation>Контуры без<byte value="xd"/>
источников тока</translation>
    </message>
    <message>
        <source>UP</source>
        <translation>Вверх</translation>
    </message>
    <message>
        <source>Loops with current sources</source>
        <translation>Контуры с источниками тока</translation>
    </message>
    <message>
        <source>Ошибки</source>
        <translation>Ошибки</translation>
    </message>
    <message>
        <source>Calculation by Kirchoff laws</source>
        <translation>Расчёт по законам Кирхгофа</translation>
    </message>
    <message>
        <source>Loop Up</source>
        <translation>Контур вверх</translation>
    </message>
    <message>
        <source>Loop Down</source>
        <translation>Контур вниз</translation>
    </message>
    <message>
        <source>All Loops</source>
        <translation>Все контуры</translation>
    </message>
    <message>
        <source>Delete Loop</source>
        <translation>Удалить контур</translation>
    </message>
    <message>
        <source>Calculate By Mesh Current method</source>
        <translation>Расчёт методом контурных токов</translation>
    </message>
    <message>
        <source>Attention! Branch %1 include %2 voltage sources and has nil resistance. Transform schem</source>
        <translation>Внимание! Ветвь %1 содержит источники ЭДС (%2) и не имеет сопротивления. Преобразуйте схему</translation>
    </message>
    <message>
        <source>Attention! Branch %1 include %2 current sources. Calculation impossible</source>
        <translation>Внимание! Ветвь %1 содержит источники тока (%2). Расчёт невозможен</translation>
    </message>
    <message>
        <source>Attention! Calculated schem has same isolated area. Please delete spare nodes</source>
        <translation>Внимание! Рассчитываемая схема состоит из нескольких изолированных частей. Удалите лишние узлы</translation>
    </message>
    <message>
        <source>Attention! Branch </source>
        <translation>Внимание! Ветвь </translation>
    </message>
    <message>
        <source>	 include </source>
        <translation>	 содержит </translation>
    </message>
    <message>
        <source> current sources. Calculation impossible</source>
        <translation> источн. тока. Расчёт невозможен</translation>
    </message>
    <message>
        <source>Attention! Number of loops  greater then number of Kirchoff current laws</source>
        <translation>Внимание! Контуров больше, чем уравнений по первому закону Кирхгофа</translation>
    </message>
    <message>
        <source>Attention! Number of loops  less then number of Kirchoff current laws</source>
        <translation>Внимание! Контуров меньше, чем уравнений по первому закону Кирхгофа</translation>
    </message>
    <message>
        <source> include </source>
        <translation> содержит </translation>
    </message>
    <message>
        <source>Attention! Number of loops with current sources greater then number of current sources</source>
        <translation>Внимание! Контуров с источниками тока больше, чем источников тока</translation>
    </message>
    <message>
        <source>Attention! Number of loops with current sources less then number of current sources</source>
        <translation>Внимание! Контуров с источниками тока меньше, чем источников тока</translation>
    </message>
    <message>
        <source>Attention! Number of loops less then number of Kirchoff current laws</source>
        <translation>Внимание! Контуров меньше, чем уравнений по первому закону Кирхгофа</translation>
    </message>
    <message>
        <source>New exercise</source>
        <translation>Новое упражнение</translation>
    </message>
    <message>
        <source>Kind of current</source>
        <translation>Род тока</translation>
    </message>
    <message>
        <source>Direct current</source>
        <translation>Постоянный ток</translation>
    </message>
    <message>
        <source>Alternating current</source>
        <translation>Переменный ток</translation>
    </message>
    <message>
        <source>Nodes (the grounded one included), from</source>
        <translation>Узлы (с заземлённым), от</translation>
    </message>
    <message>
        <source>to</source>
        <translation>до</translation>
    </message>
    <message>
        <source>Branches, from</source>
        <translation>Ветви, от</translation>
    </message>
    <message>
        <source>Branches with a current source</source>
        <translation>Ветви с источником тока</translation>
    </message>
    <message>
        <source>Seed (the same seed gives the same circuit)</source>
        <translation>Начальное число (одно и то же число даёт ту же схему)</translation>
    </message>
    <message>
        <source>AC values on the drawing</source>
        <translation>Переменные величины на схеме</translation>
    </message>
    <message>
        <source>magnitude∠angle</source>
        <translation>модуль∠угол</translation>
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
        <translation>Узел</translation>
    </message>
    <message>
        <source>Branch</source>
        <translation>Ветвь</translation>
    </message>
    <message>
        <source>Resistor</source>
        <translation>Резистор</translation>
    </message>
    <message>
        <source>DC voltage source</source>
        <translation>Источник постоянной ЭДС</translation>
    </message>
    <message>
        <source>DC curent source</source>
        <translation>Источник постоянного тока</translation>
    </message>
    <message>
        <source>Ground</source>
        <translation>Заземление</translation>
    </message>
    <message>
        <source>Capacitor</source>
        <translation>Конденсатор</translation>
    </message>
    <message>
        <source>Inductor</source>
        <translation>Катушка индуктивности</translation>
    </message>
    <message>
        <source>Impedance</source>
        <translation>Комплексное сопротивление</translation>
    </message>
    <message>
        <source>AC voltage source</source>
        <translation>Источник переменной ЭДС</translation>
    </message>
    <message>
        <source>AC current source</source>
        <translation>Источник переменного тока</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Линия</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>Окружность</translation>
    </message>
    <message>
        <source>Arc</source>
        <translation>Дуга</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Текст</translation>
    </message>
    <message>
        <source>Polygon</source>
        <translation>Многоугольник</translation>
    </message>
    <message>
        <source>Polyline</source>
        <translation>Ломаная</translation>
    </message>
    <message>
        <source>Loop</source>
        <translation>Контур</translation>
    </message>
    <message>
        <source>Network node</source>
        <translation>Узел сети</translation>
    </message>
    <message>
        <source>Substation</source>
        <translation>Подстанция</translation>
    </message>
    <message>
        <source>Power line</source>
        <translation>Линия электропередачи</translation>
    </message>
    <message>
        <source>Breaker</source>
        <translation>Выключатель</translation>
    </message>
    <message>
        <source>Transformer</source>
        <translation>Трансформатор</translation>
    </message>
    <message>
        <source>Vector</source>
        <translation>Вектор</translation>
    </message>
    <message>
        <source>Ветвь-</source>
        <translation>Ветвь-</translation>
    </message>
    <message>
        <source>Узел-</source>
        <translation>Узел-</translation>
    </message>
    <message>
        <source>Pos: %1,%2</source>
        <translation>Поз.: %1,%2</translation>
    </message>
    <message>
        <source>Pos: %1,%2j</source>
        <translation>Поз.: %1,%2j</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Переместить</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Свойства</translation>
    </message>
</context>
<context>
    <name>qv::Message</name>
    <message>
        <source>Import SPICE netlist</source>
        <translation>Импорт списка цепи SPICE</translation>
    </message>
    <message>
        <source>The scheme has no loops: every branch could be taken away without parting two nodes.</source>
        <translation>В схеме нет контуров: любую ветвь можно убрать, не разделив два узла.</translation>
    </message>
    <message>
        <source>The scheme has %1 loop(s) of its own. Replace them by the %2 loops found?</source>
        <translation>В схеме есть свои контуры (%1). Заменить их найденными (%2)?</translation>
    </message>
    <message>
        <source>Find loops</source>
        <translation>Найти контуры</translation>
    </message>
    <message>
        <source>Invalid snap step</source>
        <translation>Недопустимый шаг привязки</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Не удаётся прочитать %1: %2</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не удаётся записать %1: %2</translation>
    </message>
    <message>
        <source>Cannot write the picture &quot;%1&quot;: %2</source>
        <translation>Не удаётся записать рисунок «%1»: %2</translation>
    </message>
    <message>
        <source>Cannot save a picture as &quot;%1&quot;: the name must end in .emf, .svg, .pdf or .png.</source>
        <translation>Нельзя сохранить рисунок как «%1»: имя должно оканчиваться на .emf, .svg, .pdf или .png.</translation>
    </message>
    <message>
        <source>PNG encoding failed</source>
        <translation>не удалось закодировать PNG</translation>
    </message>
    <message>
        <source>The scheme has no loops; there is no loop &quot;%1&quot;.</source>
        <translation>В схеме нет контуров; контура «%1» нет.</translation>
    </message>
    <message>
        <source>The scheme has no loop &quot;%1&quot;; its loops are: %2.</source>
        <translation>В схеме нет контура «%1»; её контуры: %2.</translation>
    </message>
    <message>
        <source>The potential diagram of loop &quot;%1&quot; cannot be drawn: an element on it has no direct-current potentials (a capacitor, an inductor, an impedance or an AC source).</source>
        <translation>Потенциальную диаграмму контура «%1» построить нельзя: у элемента на нём нет потенциалов постоянного тока (конденсатор, катушка, комплексное сопротивление или источник переменного тока).</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid floating point value</source>
        <translation>«%1» — не число</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid frequency: it cannot be negative</source>
        <translation>«%1» — недопустимая частота: она не может быть отрицательной</translation>
    </message>
    <message>
        <source>To calculate power balance you mast solve shem by nodes voltge method</source>
        <translation>Для расчёта баланса мощностей решите схему методом узловых напряжений</translation>
    </message>
    <message>
        <source>Solution error</source>
        <translation>Ошибка решения</translation>
    </message>
    <message>
        <source>Schem include direct and alternate currents devices</source>
        <translation>Схема содержит элементы постоянного и переменного тока</translation>
    </message>
    <message>
        <source>Нарушена целостность</source>
        <translation>Нарушена целостность</translation>
    </message>
    <message>
        <source>Invalid input</source>
        <translation>Недопустимое значение</translation>
    </message>
    <message>
        <source>Ветвь соедмеяет узлы разного напряжения</source>
        <translation>Ветвь соединяет узлы разного напряжения</translation>
    </message>
    <message>
        <source>Предупреждение</source>
        <translation>Предупреждение</translation>
    </message>
    <message>
        <source>Show results</source>
        <translation>Показать результаты</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>Результаты</translation>
    </message>
    <message>
        <source>The loop list is full: it holds at most %1 loops.</source>
        <translation>Список контуров заполнен: в нём не больше %1 контуров.</translation>
    </message>
    <message>
        <source>The document is full: it holds at most %1 objects.</source>
        <translation>Документ заполнен: в нём не больше %1 объектов.</translation>
    </message>
    <message>
        <source>Удаляемый элемент отсутствует в списке элементов</source>
        <translation>Удаляемый элемент отсутствует в списке элементов</translation>
    </message>
    <message>
        <source>Open Error</source>
        <translation>Ошибка открытия</translation>
    </message>
    <message>
        <source>The class registry is full: it holds at most %1 entries.</source>
        <translation>Реестр классов заполнен: в нём не больше %1 записей.</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a valid %2 value</source>
        <translation>«%1» — недопустимое значение (%2)</translation>
    </message>
    <message>
        <source>floating point</source>
        <translation>вещественное число</translation>
    </message>
    <message>
        <source>integer</source>
        <translation>целое число</translation>
    </message>
</context>
<context>
    <name>qv::Report</name>
    <message>
        <source>Solution error: </source>
        <translation>Ошибка решения: </translation>
    </message>
    <message>
        <source>Решение</source>
        <translation>Решение</translation>
    </message>
    <message>
        <source>Writing Kirchoff current law for</source>
        <translation>Составляем уравнения по первому закону Кирхгофа для </translation>
    </message>
    <message>
        <source> nodes</source>
        <translation> узлов</translation>
    </message>
    <message>
        <source>Wrining Kirchoff voltage law for </source>
        <translation>Составляем уравнения по второму закону Кирхгофа для </translation>
    </message>
    <message>
        <source> loops</source>
        <translation> контуров</translation>
    </message>
    <message>
        <source>Solution</source>
        <translation>Решение</translation>
    </message>
    <message>
        <source>Branches impedance calculation</source>
        <translation>Расчёт сопротивлений ветвей</translation>
    </message>
    <message>
        <source>Branch impedances calculation</source>
        <translation>Расчёт сопротивлений ветвей</translation>
    </message>
    <message>
        <source>Inital variables</source>
        <translation>Исходные данные</translation>
    </message>
    <message>
        <source>Electrical scheme</source>
        <translation>Электрическая схема</translation>
    </message>
    <message>
        <source>Nodes currents calculation</source>
        <translation>Расчёт токов в узлах</translation>
    </message>
    <message>
        <source>Imbalance (sources - consumers): </source>
        <translation>Небаланс (источники − потребители): </translation>
    </message>
    <message>
        <source>, relative </source>
        <translation>, относительный </translation>
    </message>
    <message>
        <source>Exercise %1</source>
        <translation>Упражнение %1</translation>
    </message>
    <message>
        <source>Data:</source>
        <translation>Дано:</translation>
    </message>
    <message>
        <source>The grounded nodes are one point, node 0; the potentials count from it.</source>
        <translation>Заземлённые узлы — одна точка, узел 0; потенциалы отсчитываются от неё.</translation>
    </message>
    <message>
        <source>f = %1 Hz</source>
        <translation>f = %1 Гц</translation>
    </message>
    <message>
        <source>Find the currents of all branches %1.</source>
        <translation>Найти токи всех ветвей %1.</translation>
    </message>
    <message>
        <source>by Kirchhoff&apos;s laws</source>
        <translation>по законам Кирхгофа</translation>
    </message>
    <message>
        <source>by the mesh-current method</source>
        <translation>методом контурных токов</translation>
    </message>
    <message>
        <source>by the node-voltage method</source>
        <translation>методом узловых напряжений</translation>
    </message>
    <message>
        <source>Exercises</source>
        <translation>Упражнения</translation>
    </message>
    <message>
        <source>Answers</source>
        <translation>Ответы</translation>
    </message>
</context>
<context>
    <name>qv::Workbench</name>
    <message>
        <source>NewShem - </source>
        <translation>Новая схема - </translation>
    </message>
    <message>
        <source>TOLV  Quorvel English</source>
        <translation>TOLV - Quorvel</translation>
    </message>
    <message>
        <source>Create vector diagramm</source>
        <translation>Построить векторную диаграмму</translation>
    </message>
    <message>
        <source>Set all branch arrows</source>
        <translation>Поставить все стрелки ветвей</translation>
    </message>
    <message>
        <source>Kill all branch arrows</source>
        <translation>Убрать все стрелки ветвей</translation>
    </message>
    <message>
        <source>Loops List</source>
        <translation>Список контуров</translation>
    </message>
</context>
<context>
    <name>qv::gui::LayerList</name>
    <message>
        <source>Devices</source>
        <translation>Элементы</translation>
    </message>
    <message>
        <source>Nodes Labels</source>
        <translation>Надписи узлов</translation>
    </message>
    <message>
        <source>Branch Labels</source>
        <translation>Надписи ветвей</translation>
    </message>
    <message>
        <source>Devices Labels</source>
        <translation>Надписи элементов</translation>
    </message>
    <message>
        <source>Drawings</source>
        <translation>Рисунки</translation>
    </message>
    <message>
        <source>Additional Layer</source>
        <translation>Дополнительный слой</translation>
    </message>
    <message>
        <source>Currents</source>
        <translation>Токи</translation>
    </message>
    <message>
        <source>Potencial</source>
        <translation>Потенциалы</translation>
    </message>
    <message>
        <source>Potencial difference</source>
        <translation>Разности потенциалов</translation>
    </message>
    <message>
        <source>Labels</source>
        <translation>Надписи</translation>
    </message>
    <message>
        <source>Drawing</source>
        <translation>Рисование</translation>
    </message>
    <message>
        <source>Axis</source>
        <translation>Оси</translation>
    </message>
</context>
<context>
    <name>qv::gui::MainWindow</name>
    <message>
        <source>Scheme</source>
        <translation>Схема</translation>
    </message>
    <message>
        <source>Solution</source>
        <translation>Решение</translation>
    </message>
    <message>
        <source>Vector diagram</source>
        <translation>Векторная диаграмма</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Создать</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open schem</source>
        <translation>Открыть схему</translation>
    </message>
    <message>
        <source>Open vector diagram</source>
        <translation>Открыть векторную диаграмму</translation>
    </message>
    <message>
        <source>Recent files</source>
        <translation>Последние файлы</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>Save schem</source>
        <translation>Сохранить схему</translation>
    </message>
    <message>
        <source>Save vector diagram</source>
        <translation>Сохранить векторную диаграмму</translation>
    </message>
    <message>
        <source>Save schem image</source>
        <translation>Сохранить рисунок схемы</translation>
    </message>
    <message>
        <source>Save vector diagram image</source>
        <translation>Сохранить рисунок векторной диаграммы</translation>
    </message>
    <message>
        <source>Save solution</source>
        <translation>Сохранить решение</translation>
    </message>
    <message>
        <source>Import SPICE netlist</source>
        <translation>Импорт списка цепи SPICE</translation>
    </message>
    <message>
        <source>SPICE netlist (*.cir *.net *.sp *.spice *.ckt);;All files (*)</source>
        <translation>Списки цепей SPICE (*.cir *.net *.sp *.spice *.ckt);;Все файлы (*)</translation>
    </message>
    <message>
        <source>Export SPICE netlist</source>
        <translation>Экспорт списка цепи SPICE</translation>
    </message>
    <message>
        <source>SPICE netlist (*.cir)</source>
        <translation>Список цепи SPICE (*.cir)</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Печать</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Правка</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Undo </source>
        <translation>Отменить: </translation>
    </message>
    <message>
        <source>Redo </source>
        <translation>Повторить: </translation>
    </message>
    <message>
        <source>Insert Device</source>
        <translation>Вставить элемент</translation>
    </message>
    <message>
        <source>Node</source>
        <translation>Узел</translation>
    </message>
    <message>
        <source>Branch</source>
        <translation>Ветвь</translation>
    </message>
    <message>
        <source>Resistor</source>
        <translation>Резистор</translation>
    </message>
    <message>
        <source>DC voltage source</source>
        <translation>Источник постоянной ЭДС</translation>
    </message>
    <message>
        <source>DC curent source</source>
        <translation>Источник постоянного тока</translation>
    </message>
    <message>
        <source>Ground</source>
        <translation>Заземление</translation>
    </message>
    <message>
        <source>Edit Devices</source>
        <translation>Изменить элементы</translation>
    </message>
    <message>
        <source>Insert Graphics</source>
        <translation>Вставить графику</translation>
    </message>
    <message>
        <source>Kill all branch arrows</source>
        <translation>Убрать все стрелки ветвей</translation>
    </message>
    <message>
        <source>Set all branch arrows</source>
        <translation>Поставить все стрелки ветвей</translation>
    </message>
    <message>
        <source>Loops</source>
        <translation>Контуры</translation>
    </message>
    <message>
        <source>New Loop</source>
        <translation>Новый контур</translation>
    </message>
    <message>
        <source>Loops List</source>
        <translation>Список контуров</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>Расчёт</translation>
    </message>
    <message>
        <source>Solve by Kirchoff Laws</source>
        <translation>Решить по законам Кирхгофа</translation>
    </message>
    <message>
        <source>Solve by mesh current method</source>
        <translation>Решить методом контурных токов</translation>
    </message>
    <message>
        <source>Solve by node voltage method</source>
        <translation>Решить методом узловых напряжений</translation>
    </message>
    <message>
        <source>Power balance</source>
        <translation>Баланс мощностей</translation>
    </message>
    <message>
        <source>Potential diagram</source>
        <translation>Потенциальная диаграмма</translation>
    </message>
    <message>
        <source>Create vector diagramm</source>
        <translation>Построить векторную диаграмму</translation>
    </message>
    <message>
        <source>Freqncy</source>
        <translation>Частота</translation>
    </message>
    <message>
        <source>Service</source>
        <translation>Сервис</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Калькулятор</translation>
    </message>
    <message>
        <source>Option</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>Background and snap</source>
        <translation>Фон и привязка</translation>
    </message>
    <message>
        <source>Vector diagram editor</source>
        <translation>Справочник проводов</translation>
    </message>
    <message>
        <source>Справочник: the wire catalogue</source>
        <translation>Справочник проводов</translation>
    </message>
    <message>
        <source>Transformer catalogue</source>
        <translation>Справочник трансформаторов</translation>
    </message>
    <message>
        <source>Voltage classes</source>
        <translation>Классы напряжений</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вид</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Справка</translation>
    </message>
    <message>
        <source>User guide</source>
        <translation>Руководство</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>Drawings</source>
        <translation>Рисунки</translation>
    </message>
    <message>
        <source>DC Devices</source>
        <translation>Элементы постоянного тока</translation>
    </message>
    <message>
        <source>Navigation</source>
        <translation>Навигация</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Файлы</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>As written</source>
        <translation>Как написано</translation>
    </message>
    <message>
        <source>The language is used from the next start of the program.</source>
        <translation>Язык будет применён при следующем запуске программы.</translation>
    </message>
    <message>
        <source>Power network</source>
        <translation>Электрическая сеть</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Влево</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Вправо</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Вверх</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Вниз</translation>
    </message>
    <message>
        <source>Grid</source>
        <translation>Сетка</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Масштаб</translation>
    </message>
    <message>
        <source>Calculation</source>
        <translation>Расчёт</translation>
    </message>
    <message>
        <source>Create Loop</source>
        <translation>Создать контур</translation>
    </message>
    <message>
        <source>Solve by Kirchoff Law</source>
        <translation>Решить по законам Кирхгофа</translation>
    </message>
    <message>
        <source>Solve by loops equations</source>
        <translation>Решить по контурным уравнениям</translation>
    </message>
    <message>
        <source>Solve by nodes equations</source>
        <translation>Решить по узловым уравнениям</translation>
    </message>
    <message>
        <source>Power balance calculation</source>
        <translation>Расчёт баланса мощностей</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Параметры</translation>
    </message>
    <message>
        <source>AC Devices</source>
        <translation>Элементы переменного тока</translation>
    </message>
    <message>
        <source>Drawing</source>
        <translation>Рисование</translation>
    </message>
    <message>
        <source>Drawing colour</source>
        <translation>Цвет рисования</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>Линия</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Текст</translation>
    </message>
    <message>
        <source>Vector</source>
        <translation>Вектор</translation>
    </message>
    <message>
        <source>Circle</source>
        <translation>Окружность</translation>
    </message>
    <message>
        <source>Polygon</source>
        <translation>Многоугольник</translation>
    </message>
    <message>
        <source>Polyline</source>
        <translation>Ломаная</translation>
    </message>
    <message>
        <source>Point</source>
        <translation>Точка</translation>
    </message>
    <message>
        <source>Layers</source>
        <translation>Слои</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Pointer position</source>
        <translation>Положение указателя</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Save file?</source>
        <translation>Сохранить файл?</translation>
    </message>
    <message>
        <source>TOLV  Quorvel Workshop (*.qvw)</source>
        <translation>Рабочие файлы Quorvel (*.qvw)</translation>
    </message>
    <message>
        <source>Schem file(*.tbe)</source>
        <translation>Файлы схем (*.tbe)</translation>
    </message>
    <message>
        <source>Vectory(*.qvv)</source>
        <translation>Векторные диаграммы (*.qvv)</translation>
    </message>
    <message>
        <source>Cannot print.</source>
        <translation>Печать невозможна.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Удалить</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>Переместить</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Свойства</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Копировать</translation>
    </message>
    <message>
        <source>Snap</source>
        <translation>Привязка</translation>
    </message>
    <message>
        <source>Axis</source>
        <translation>Оси</translation>
    </message>
    <message>
        <source>Snap options</source>
        <translation>Параметры привязки</translation>
    </message>
    <message>
        <source>Background options</source>
        <translation>Параметры фона</translation>
    </message>
    <message>
        <source>Enhanced Metafiles (*.emf)</source>
        <translation>Расширенные метафайлы (*.emf)</translation>
    </message>
    <message>
        <source>SVG pictures (*.svg)</source>
        <translation>Рисунки SVG (*.svg)</translation>
    </message>
    <message>
        <source>PDF documents (*.pdf)</source>
        <translation>Документы PDF (*.pdf)</translation>
    </message>
    <message>
        <source>PNG pictures (*.png)</source>
        <translation>Рисунки PNG (*.png)</translation>
    </message>
    <message>
        <source>These catalogue files could not be read; the built-in catalogues stand in for them until their catalogue window writes them anew:

</source>
        <translation>Эти файлы справочников не удалось прочитать; вместо них действуют встроенные справочники, пока окно справочника не запишет их заново:

</translation>
    </message>
    <message>
        <source>Справочник</source>
        <translation>Справочник</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Quorvel&lt;/h3&gt;&lt;p&gt;A workbench for direct- and alternating-current circuits.&lt;/p&gt;&lt;p&gt;Version %1&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Quorvel&lt;/h3&gt;&lt;p&gt;Лаборатория цепей постоянного и переменного тока.&lt;/p&gt;&lt;p&gt;Версия %1&lt;/p&gt;</translation>
    </message>
    <message>
        <source>New exercise...</source>
        <translation>Новое упражнение...</translation>
    </message>
    <message>
        <source>New exercise</source>
        <translation>Новое упражнение</translation>
    </message>
    <message>
        <source>The unsaved work from %1 cannot be restored: %2.
Its recovery copy is kept as %3.</source>
        <translation>Несохранённую работу от %1 нельзя восстановить: %2.
Её копия для восстановления сохранена как %3.</translation>
    </message>
    <message>
        <source>Restore unsaved work from %1?</source>
        <translation>Восстановить несохранённую работу от %1?</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Отбросить</translation>
    </message>
</context>
<context>
    <name>qv::gui::ModelDialog</name>
    <message>
        <source>Custom</source>
        <translation>Другой</translation>
    </message>
</context>
<context>
    <name>qv::gui::PotentialWindow</name>
    <message>
        <source>Voltage diagramm</source>
        <translation>Потенциальная диаграмма</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Copy to cllipboard</source>
        <translation>Копировать в буфер обмена</translation>
    </message>
    <message>
        <source>Save To file</source>
        <translation>Сохранить в файл</translation>
    </message>
</context>
<context>
    <name>qv::gui::SchemePage</name>
    <message>
        <source>Scheme drawing</source>
        <translation>Рисунок схемы</translation>
    </message>
</context>
<context>
    <name>qv::gui::SolutionPage</name>
    <message>
        <source>Solution format</source>
        <translation>Формат решения</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>По центру</translation>
    </message>
    <message>
        <source>Justify</source>
        <translation>По ширине</translation>
    </message>
    <message>
        <source>Align right</source>
        <translation>По правому краю</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Полужирный</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Курсив</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Подчёркнутый</translation>
    </message>
</context>
<context>
    <name>qv::gui::Splash</name>
    <message>
        <source>DC and AC circuits workbench</source>
        <translation>Лаборатория цепей постоянного и переменного тока</translation>
    </message>
</context>
<context>
    <name>qv::gui::VectorCanvas</name>
    <message>
        <source>Vector diagram drawing</source>
        <translation>Рисунок векторной диаграммы</translation>
    </message>
</context>
</TS>
