// The program's numbered user-visible texts, kept in one table and looked up by number.
#include "platform/resource_strings.h"

#include <algorithm>

namespace platform {
namespace {

// Ascending by number; ResourceString() relies on that order for its binary
// search, and the tests check it. Pairs are shown as caption/text message
// boxes; the comment above a pair says which number is which where the
// code asks for them in the "text, caption" order.
const std::vector<ResourceStringEntry> kTable = {
    // FitHunter dialog: the maximum degree typed is out of range (caption 9).
    {1,
     "The maximum polynomial degree must be a whole number of at least 3, no greater than the "
     "highest degree set in the Options, and less than the number of data points minus one."},

    // Options dialog, Regression and Application pages (caption 3).
    {2, "The highest polynomial degree must be from 3 to 19."},
    {3, "Options"},
    {4, "The maximum number of iterations must be greater than 0."},
    {5, "The convergence tolerance must not be negative."},
    {6,
     "The default polynomial degree must be at least 3 and no greater than the highest "
     "polynomial degree."},
    {7, "The divergence limit must be greater than 0."},

    // FitHunter found no model it could fit (caption 9).
    {8,
     "FitHunter could not fit any of the selected models to the data.\n\n"
     "Select other model groups or check the data."},
    {9, "FitHunter"},

    // User model dialog: the formula cannot be used.
    {10, "User Model"},
    {11,
     "The formula is not valid. Its parameters must be the letters a, b, c, ... used in order "
     "from a, and it may only use x, the known constants and the known functions (such as "
     "sqrt, exp, ln, sin)."},

    // Too many points for a linear, cubic or tension spline.
    {12, "Spline Interpolation"},
    {13, "There are too many data points for a spline interpolation: at most 16374 points can be used."},

    // The automatic initial guesses failed; the initial-guess dialog follows.
    {14, "Initial Guesses"},
    {15,
     "The initial guesses could not be computed automatically for these data.\n\n"
     "Please enter initial guesses for the parameters yourself."},

    // Error messages: string 15 + error identifier. Each is a format whose
    // "%s" placeholders are filled with the model's name and then the name
    // of the failing routine; a text may use only the first or neither.
    {16,
     "A division by zero occurred while calculating %s.\n\n"
     "Check the data for values the model cannot take (such as x = 0) or try other initial "
     "guesses."},
    {17,
     "A value became too large (overflow) while calculating %s (function %s).\n\n"
     "Check the data or try other initial guesses."},
    {18,
     "A value became too small to represent (underflow) while calculating %s (function %s).\n\n"
     "Check the data or try other initial guesses."},
    {19,
     "A floating-point error (loss of precision) occurred while calculating %s (function %s).\n\n"
     "Check the data or try other initial guesses."},
    {20,
     "While calculating %s, the function %s received an argument outside its domain (such as "
     "the logarithm of a negative number).\n\nCheck the data or try other initial guesses."},
    {21,
     "While calculating %s, the function %s reached a singularity (such as the logarithm of "
     "zero).\n\nCheck the data or try other initial guesses."},
    {22,
     "An invalid floating-point operation occurred while calculating %s.\n\n"
     "Check the data or try other initial guesses."},
    {23,
     "The fit of %s diverged: too many steps in a row failed to improve it.\n\n"
     "Try other initial guesses or raise the divergence limit in the Options."},
    {24, "No initial guesses were given for %s; the fit was cancelled."},
    {25, "An error occurred while calculating %s during an automatic run."},
    // The routine name of an out-of-memory error is the byte count of the data set.
    {26,
     "Trendolin ran out of memory while calculating %s (the data set uses %s bytes).\n\n"
     "Close some graph windows or other programs and try again."},
    {27,
     "There are too many data points for %s: a polynomial interpolation can use at most one "
     "point more than the highest polynomial degree set in the Options."},
    {28,
     "The user formula has a syntax error or uses a name that is not defined.\n\n"
     "Check the formula in the User Model dialog."},
    {29, "The calculation of %s was stopped."},
    {30, "The calculation of %s was stopped; the automatic run has ended."},

    // Saving a data file that was opened read-only.
    {31, "Read-Only File"},
    {32,
     "This data file was opened read-only and cannot be saved.\n\n"
     "Use Save As to save the data under another name."},

    // Export started without a fitted model chosen.
    {33, "Export"},
    {34,
     "No curve fit was chosen for the export.\n\n"
     "Choose a fitted model with the model button, or fit a model first."},

    // Printing.
    {35, "Print"},
    {36, "The printer could not be prepared for printing.\n\nCheck the printer setup and try again."},
    {37, "Print"},
    {38, "A new page could not be started. Printing has been stopped."},
    {39, "Print"},
    {40, "The print job could not be started.\n\nCheck that the printer is installed and available."},

    // Reading and writing data files.
    {41, "Data File"},
    {42,
     "The data file could not be written.\n\n"
     "Check that the disk has room and that you may write to this folder."},
    {43, "The data file could not be opened.\n\nCheck the file name and that the file is readable."},
    {44,
     "The file holds no readable data, or one of its data lines has fewer numbers than the "
     "first data line."},

    // Clipping page of the data manipulation dialog.
    {45, "Clip Data"},
    {46,
     "The clipping window does not overlap the data, or a minimum is greater than its "
     "maximum.\n\nCheck the four limits."},

    // Calculate Groups opened no graph window.
    {47, "Calculate Groups"},
    {48,
     "No graph window was opened: none of the models of the chosen groups could be fitted to "
     "the data."},

    // Polynomial degree dialog: 49/50 too few points, 49/77 degree too high.
    {49, "Polynomial Fit"},
    {50, "A polynomial fit needs more than 4 data points."},

    // File dialogs: a name without a usable title (the caption is the dialog's own).
    {52, "This file name cannot be used. Please enter another name."},

    // Table generation: 53/54 zero step, 53/55 step pointing the wrong way.
    {53, "Generate Table"},
    {54, "The step must not be zero."},
    {55,
     "The step must lead from the start value to a different end value: positive when the end "
     "is greater than the start, negative when it is smaller."},

    // The print dialog failed; text 57 is filled with the dialog's error code.
    {56, "Print Error"},
    {57, "The print dialog reported error %s.\n\nCheck the printer setup and try again."},

    // Drawn in place of a graph that could not be rendered: on screen, on a
    // printed page, on a clipboard picture.
    {58,
     "A floating-point error occurred while drawing this graph. Check the axis extents (a "
     "logarithmic axis needs positive limits) and try again."},
    {59,
     "A floating-point error occurred while printing this graph. Check the axis extents and try "
     "again."},
    {60,
     "A floating-point error occurred while copying this graph. Check the axis extents and try "
     "again."},

    // Quadratic spline with too many points: caption 62, text 61.
    {61, "A quadratic spline can use at most 100 data points."},
    {62, "Quadratic Spline"},

    // Polynomial degree outside 3 .. highest degree.
    {63, "Polynomial Degree"},
    {64, "The polynomial degree must be from 3 to the highest polynomial degree set in the Options."},

    // Tension dialog.
    {65, "Tension Spline"},
    {66, "The tension must be a positive number."},

    // Name dialog of the user-model library.
    {67, "Model Name"},
    {68, "A model name must not contain a comma."},

    // Integral page of the Analyze dialog.
    {69, "Integral"},
    {70, "The lower limit must not be greater than the upper limit."},

    // The optional dialog extensions could not be loaded.
    {71, "Trendolin"},
    {72, "The dialog extensions could not be loaded. Trendolin will run without them."},

    // A second graph properties dialog.
    {73, "Graph Properties"},
    {74, "The graph properties are already being edited. Close the open Graph Properties dialog first."},

    // Copying a fit report: caption 75, text 76 (the code also asks for them as
    // text 76 and caption 75).
    {75, "Copy Report"},
    {76,
     "The report could not be copied to the clipboard: memory is short, the report is too "
     "long, or the clipboard is in use by another program."},

    // Degree dialog (caption 49).
    {77, "The polynomial degree must be less than the number of data points minus one."},

    // Several files dropped on the main window.
    {78, "Open File"},
    {79, "Please drop only one data file at a time."},

    // Start-up: help path too long (text 80, caption 81) and 3-D controls
    // library (text 82, caption 83).
    {80, "The program's path is too long. Help will not be available in this session."},
    {81, "Trendolin Help"},
    {82, "The 3-D controls library could not be loaded. Trendolin will use standard controls."},
    {83, "Trendolin"},

    // Settings file at start-up: text 84 or 87 with caption 85 (OK/Cancel).
    {84,
     "The settings file was not found.\n\n"
     "Choose OK to create it with the default settings, or Cancel to use the default settings this time "
     "without creating it."},
    {85, "Trendolin Settings"},
    {86, "The default settings could not be written to the new settings file."},
    {87,
     "The settings file could not be created.\n\n"
     "Choose OK to go on with the default settings (changes will not be kept), or Cancel to "
     "quit Trendolin."},

    // Removing more rows than the data set holds.
    {90, "Data"},
    {91, "Cannot remove more rows than the data set holds."},

    // Fault handlers: bad pointer (92/93), abort (94, caption is the program's
    // title), unexpected exception (95/96), out of memory (97/98, OK/Cancel).
    {92, "Program Error"},
    {93, "Trendolin has met an invalid memory access and must close."},
    {94, "Trendolin has met a serious internal error and must close now."},
    {95, "Unexpected Error"},
    {96, "An unexpected error occurred that Trendolin cannot handle."},
    {97, "Out of Memory"},
    {98,
     "Trendolin has run out of memory.\n\n"
     "Choose OK to discard all stored curve fits, close their graphs and try again, or Cancel "
     "to stop the calculation. Your data are kept either way."},

    // Options dialog: the 3-D controls were switched off (information).
    {99, "3-D Controls"},
    {100, "The 3-D controls will be switched off the next time Trendolin starts."},

    // A second model information window.
    {104, "Model Information"},
    {105, "A model information window is already open. Close it before opening another one."},

    // Text of the printing progress box, filled with the data file's title,
    // the printer's name and its port.
    {106, "Printing %s on %s connected to %s"},

    // Opening a data file (caption 41).
    {108,
     "The data file must have 2 or 3 columns: x, y and optionally the uncertainty of y.\n\n"
     "Switch the import dialog on in the Options to choose the columns to read."},
    {109, "The data file was not opened."},

    // Import options dialog (caption 110).
    {110, "Import Options"},
    {111,
     "There must be exactly one dependent variable (y). Check the columns to read, the "
     "generated x and the uncertainty column."},
    {112, "There must be exactly one independent variable (x)."},
    {113, "The number of columns to read must be greater than 0."},
    {114, "The columns to read run past the last column of the file."},
    {115, "The import options do not describe a data set that can be read."},
    {116, "The first column must be from 1 to the number of columns in the file."},

    // Data grid and clipboard (caption 117).
    {117, "Edit Data"},
    {118, "Please select the data cells to copy first."},

    // The table file could not be created.
    {119, "Table File"},
    {120,
     "The table file could not be created.\n\n"
     "Check the file name and that you may write to this folder."},

    {121, "Only whole rows or one whole column can be cleared. Select them first."},
    {122, "Add a column for the uncertainties of y to the data set?\n\nThe edit history will be cleared."},
    {123, "The column could not be added: there is not enough memory."},
    {124, "Delete the selected column?\n\nThe edit history will be cleared."},
    {125, "The column cannot be deleted. A data set keeps at least its x and y columns."},
    {126,
     "The data on the clipboard do not fit the selection. Select a block of the same size, or "
     "a single whole row to insert whole rows."},

    // Options dialog (caption 3).
    {127, "The number of undo levels must be greater than 0."},

    {128, "The clipboard holds no numbers that can be pasted."},

    // User model dialog: deleting a stored model (yes/no). Its own pair,
    // because 29 and 30 are the messages of errors 14 and 15.
    {129, "Delete User Model"},
    {130, "Delete the selected model from the list of stored user models?"},

    // The export file could not be written (caption 33); a table step too
    // small to change the x values (caption 53).
    {131,
     "The export file could not be written. Any file of that name was left as it was.\n\n"
     "Check the file name, that the disk has room and that you may write to this folder."},
    {132,
     "The step is too small for the start and end values: adding it would not change x, so the "
     "table would never reach its end. Enter a larger step."},

    // User model dialog: the formula nests deeper than the interpreter reads
    // (caption 10).
    {133,
     "The formula is nested too deeply: parentheses, those of a function included, can be nested "
     "at most 254 levels deep."},

    // A data file that could not be opened (caption 41), a data, export or
    // table file that could not be written (captions 41, 33, 119): each
    // filled with the file and the system's reason.
    {134, "The data file could not be opened.\n\n%s"},
    {135, "The data file could not be written.\n\n%s\n\nAny file of that name was left as it was."},
    {136, "The export file could not be written.\n\n%s\n\nAny file of that name was left as it was."},
    {137, "The table file could not be written.\n\n%s\n\nAny file of that name was left as it was."},

    // A data line the reader cannot take (caption 41): filled with the file
    // and the line's number.
    {138,
     "The data file could not be read.\n\n%s, line %s: the line has fewer numbers than the first "
     "data line, or one of its fields is not a number."},
    // A data file that opened but gave no data (caption 41): filled with the
    // file and what is wrong with it.
    {139, "The data file holds no data that can be read.\n\n%s"},

    // A manipulation that would carry values out of the float range is
    // refused whole (scaling, translation); lines of a data file whose
    // numbers are not finite are skipped and reported (caption 41); generated
    // x values must stay finite (caption 110).
    {140, "Scale Data"},
    {141,
     "The data were not scaled: some values would grow beyond the largest number a data value can "
     "hold (about 3.4E+38).\n\nUse smaller factors."},
    {142, "Translate Data"},
    {143,
     "The data were not translated: some values would move beyond the largest number a data value can "
     "hold (about 3.4E+38).\n\nUse smaller offsets."},
    {144,
     "Lines skipped: %s, the first of them line %s. Their numbers are infinite, not numbers (NaN) or "
     "beyond the largest number a data value can hold (about 3.4E+38). The other lines were read."},
    {145,
     "The generated x values must be finite: the start, the step and the last x value they give "
     "must each lie within the range of a data value (about 3.4E+38 either way)."},

    // The settings file's creation declined at start (caption 85).
    {150,
     "Trendolin runs with the default settings this time and writes no settings file: changes to the "
     "settings, the window's place and the recent files last until the program ends.\n\n"
     "You will be asked again at the next start."},

    // The end of a Calculate Groups run (caption 47): the models that could
    // not be fitted, by reason (157 and 158 are reasons that head a list of
    // models), and where a run that ended early stopped, with the number of
    // graph windows it opened.
    {155, "These models could not be fitted to the data:\n\n%s"},
    {156,
     "Calculate Groups was stopped during %s; the models after it were not calculated. "
     "Graph windows opened: %s."},
    {157, "The fit ended without a result."},
    {158, "Not applicable to data with an x of 0 (or, where the logarithm of x is taken, a negative x)."},
    {159,
     "Calculate Groups ended at %s, which could not be fitted; the models after it were not "
     "calculated. Graph windows opened: %s."},

    // Names of the model families in the fit menu (status-bar help).
    {304, "Exponential Models"},
    {305, "Power Law Models"},
    {306, "Yield-Density Models"},
    {307, "Growth Models"},
    {308, "Sigmoidal (S-shaped) Models"},
    {309, "Miscellaneous Models"},

    // Status-bar help of the menu commands: the string with the command's number.
    {454, "Redo the last undone edit"},
    {455, "Weight each point by its y value, 1/y^2"},
    {456, "Weight each point by its y value, 1/y"},
    {457, "Weight each point by its x value, 1/x^2"},
    {458, "Weight each point by its x value, 1/x"},
    {459, "Weight each point by its uncertainty, 1/std^2"},
    {460, "Do not use weighting in regression analysis"},
    {462, "Open the Trendolin home page in your web browser"},
    {463, "Search the help for a keyword"},
    {464, "View the iteration history of the last fit"},
    {465, "Edit the current data file in a text editor"},
    {466, "Discard all curve fits and close their graphs"},
    {468, "Show the statistics of the data set"},
    {469, "Show the program's name and version"},
    {470, "Open the help contents"},
    {471, "Arrange the graph windows side by side"},
    {472, "Restore all minimized graph windows"},
    {473, "Redraw all graph windows"},
    {474, "Minimize all graph windows"},
    {476, "Close all graph windows"},
    {477, "Arrange the graph windows in a cascade"},
    {478, "Find the best fitting model automatically"},
    {479, "Scale, translate, clip or sort the data"},
    {481, "Check again which models apply to the data"},
    {482, "Fit every model of the chosen groups"},
    {484, "Select all data"},
    {485, "Undo the last edit"},
    {486, "Remove the selected rows or column"},
    {487, "Insert data from the clipboard"},
    {488, "Copy the selection to the clipboard"},
    {489, "Move the selection to the clipboard"},
    {490, "Quit Trendolin"},
    {491, "Choose a printer and its settings"},
    {492, "Print the data set"},
    {493, "Compute the initial guesses automatically"},
    {494, "Change the program's settings"},
    {495, "Export a fit with its data to a text file"},
    {496, "Save the data under a new name"},
    {497, "Save the data file"},
    {498, "Open an existing data file"},
    {499, "Start a new, empty data set"},

    // Model prompts: status-bar help and the name-and-formula line of reports
    // and exports (the formula follows the first comma).
    {500, "Linear Regression,  y=a+bx"},
    {501, "Quadratic Regression,  y=a+bx+cx^2"},
    {502, "nth order Polynomial,  y=a+bx+cx^2+dx^3..."},
    {503, "Plot the current data set"},
    {504, "Exponential Function, y=ae^(bx)"},
    {505, "Modified Exponential, y=a*e^(b/x)"},
    {506, "Logarithm fit, y=a+b*ln(x)"},
    {507, "Reciprocal Logarithm Fit, y=1/(a+b*ln(x))"},
    {508, "Vapor Pressure Model, y=exp(a+b/x+cln(x))"},
    {509, "Power Equation, y=ax^b"},
    {510, "Modified Power Curvefit, y=a*b^x"},
    {511, "Shifted Power Equation, y=a*(x-b)^c"},
    {512, "Geometric Fit, y=ax^(bx)"},
    {513, "Modified Geometric fit, a*x^(b/x)"},
    {514, "Root Fit, y=a^(1/x)"},
    {515, "Hoerl Model Curvefit, y=a*(b^x)*(x^c)"},
    {516, "Modified Hoerl Model, y=a*b^(1/x)*x^c"},
    {517, "Reciprocal Model, y=1/(ax+b)"},
    {518, "Reciprocal Quadratic Model, y=1/(a+bx+cx^2)"},
    {519, "Bleasdale Model, y=(a+bx)^(-1/c)"},
    {520, "Harris Model, y=1/(a+bx^c)"},
    {521, "Gompertz Relation, y=a*exp(-exp(b-cx))"},
    {522, "Logistic Model, y=a/(1+b*exp(-cx))"},
    {523, "Weibull Model, y=a-b*exp(-c*x^d)"},
    {524, "MMF Model, y=(a*b+c*x^d)/(b+x^d)"},
    {525, "Richards Model, y=a/(1+exp(b-cx))^(1/d)"},
    {526, "Saturation Growth Rate Model, y=ax/(b+x)"},
    {527, "Exponential association, y=a(1-exp(-bx)"},
    {528, "Exponential Association (3), y=a(b-exp(-cx))"},
    {529, "Sinusoidal Fit, y=a+b*cos(cx+d)"},
    {530, "Gaussian Fit, y=a*exp((-(b-x)^2)/(2*c^2))"},
    {531, "Hyperbolic Fit, y=a+b/x"},
    {532, "Heat Capacity Model, y=a+bx+c/x^2"},
    {533, "Rational Function, y=(a+bx)/(1+cx+dx^2)"},
    {534, "Lagrangian Interpolation,  y=a+bx+cx^2+dx^3..."},
    {535, "Linear Spline Interpolation"},
    {536, "Quadratic Spline Interpolation"},
    {537, "Cubic Spline Interpolation"},
    {538, "Tension Spline Model"},
    {539, "Define a nonlinear model"},

    // Model names for lists, the preview title and progress texts: 500 + model
    // (at most 39 characters).
    {1000, "Linear Regression"},
    {1001, "Quadratic Regression"},
    {1002, "nth Order Polynomial"},
    {1003, "Data Plot"},
    {1004, "Exponential Function"},
    {1005, "Modified Exponential"},
    {1006, "Logarithm Fit"},
    {1007, "Reciprocal Logarithm Fit"},
    {1008, "Vapor Pressure Model"},
    {1009, "Power Equation"},
    {1010, "Modified Power"},
    {1011, "Shifted Power Equation"},
    {1012, "Geometric Fit"},
    {1013, "Modified Geometric Fit"},
    {1014, "Root Fit"},
    {1015, "Hoerl Model"},
    {1016, "Modified Hoerl Model"},
    {1017, "Reciprocal Model"},
    {1018, "Reciprocal Quadratic Model"},
    {1019, "Bleasdale Model"},
    {1020, "Harris Model"},
    {1021, "Gompertz Relation"},
    {1022, "Logistic Model"},
    {1023, "Weibull Model"},
    {1024, "MMF Model"},
    {1025, "Richards Model"},
    {1026, "Saturation Growth Rate Model"},
    {1027, "Exponential Association (2)"},
    {1028, "Exponential Association (3)"},
    {1029, "Sinusoidal Fit"},
    {1030, "Gaussian Fit"},
    {1031, "Hyperbolic Fit"},
    {1032, "Heat Capacity Model"},
    {1033, "Rational Function"},
    {1034, "Lagrangian Interpolation"},
    {1035, "Linear Spline Interpolation"},
    {1036, "Quadratic Spline Interpolation"},
    {1037, "Cubic Spline Interpolation"},
    {1038, "Tension Spline Model"},
    {1039, "User Defined Model"},

    // Short display names and graph window titles: 1000 + model (at most 29
    // characters; windows are found again by title, so they must differ).
    {1500, "Linear Fit"},
    {1501, "Quadratic Fit"},
    // Filled with the polynomial degree (4 and up; degree 3 has its own fixed title).
    {1502, "%sth degree Polynomial Fit"},
    {1503, "Data Plot"},
    {1504, "Exponential Fit"},
    {1505, "Modified Exponential Fit"},
    {1506, "Logarithm Fit"},
    {1507, "Reciprocal Logarithm Fit"},
    {1508, "Vapor Pressure Model"},
    {1509, "Power Fit"},
    {1510, "Modified Power Fit"},
    {1511, "Shifted Power Fit"},
    {1512, "Geometric Fit"},
    {1513, "Modified Geometric Fit"},
    {1514, "Root Fit"},
    {1515, "Hoerl Model"},
    {1516, "Modified Hoerl Model"},
    {1517, "Reciprocal Model"},
    {1518, "Reciprocal Quadratic Model"},
    {1519, "Bleasdale Model"},
    {1520, "Harris Model"},
    {1521, "Gompertz Relation"},
    {1522, "Logistic Model"},
    {1523, "Weibull Model"},
    {1524, "MMF Model"},
    {1525, "Richards Model"},
    {1526, "Saturation Growth Rate Model"},
    {1527, "Exponential Association (2)"},
    {1528, "Exponential Association (3)"},
    {1529, "Sinusoidal Fit"},
    {1530, "Gaussian Fit"},
    {1531, "Hyperbolic Fit"},
    {1532, "Heat Capacity Model"},
    {1533, "Rational Function"},
    {1534, "Polynomial Interpolation"},
    {1535, "Linear Spline"},
    {1536, "Quadratic Spline"},
    {1537, "Cubic Spline"},
    {1538, "Tension Spline"},
    {1539, "User Model"},

    // Toolbar tooltips: 1500 + command (at most 39 characters).
    {1798, "Accept calculation (Esc)"},
    {1799, "Abort calculation (Shift+Esc)"},
    {1954, "Redo (Ctrl+Y)"},
    {1970, "Help contents (F1)"},
    {1978, "Run FitHunter (Ctrl+F)"},
    {1985, "Undo (Ctrl+Z)"},
    {1987, "Paste (Ctrl+V)"},
    {1988, "Copy (Ctrl+C)"},
    {1989, "Cut (Ctrl+X)"},
    {1992, "Print the data set"},
    {1993, "Automatic initial guesses on/off"},
    {1997, "Save the data file"},
    {1998, "Open a data file"},
    {1999, "New data set"},
    {2000, "Linear regression"},
    {2001, "Quadratic regression"},
    {2002, "nth order polynomial regression"},
    {2039, "Define a user model (Alt+AU)"},

    // Status-bar help of the recent-file entries of the File menu.
    {8001, "Open this recently used data file"},
    {8002, "Open this recently used data file"},
    {8003, "Open this recently used data file"},
    {8004, "Open this recently used data file"},
    {8005, "Open this recently used data file"},
    {8006, "Open this recently used data file"},
    {8007, "Open this recently used data file"},
    {8008, "Open this recently used data file"},
    {8009, "Open this recently used data file"},

    // Status-bar help of the preview popup and the Transform command.
    {10013, "Help on the graph preview area"},
    {10014, "Show a preview of the selected fit"},
    {10015, "Animate the preview while a fit runs"},
    {10016, "Open the graph of the selected fit"},
    {10017, "Apply a function to the x or the y column"},
};

}  // namespace

std::string_view ResourceString(int id) {
  const auto it = std::lower_bound(
      kTable.begin(), kTable.end(), id,
      [](const ResourceStringEntry& entry, int wanted) { return entry.id < wanted; });
  if (it == kTable.end() || it->id != id || it->text == nullptr) return {};
  return it->text;
}

const std::vector<ResourceStringEntry>& ResourceStringTable() { return kTable; }

std::string FormatResource(std::string_view format, const std::vector<std::string>& args) {
  std::string out;
  out.reserve(format.size());
  std::size_t next_arg = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      out += c;
      continue;
    }
    const char conversion = format[i + 1];
    if (conversion == 's') {
      if (next_arg < args.size()) out += args[next_arg];
      ++next_arg;
      ++i;
    } else if (conversion == '%') {
      out += '%';
      ++i;
    } else {
      out += c;  // any other conversion stays as written; the next character follows as text
    }
  }
  return out;
}

}  // namespace platform
