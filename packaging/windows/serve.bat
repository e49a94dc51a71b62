@echo off
rem Ouvre la page web de Couloir dans le navigateur, sur la base du club
rem donnée (par défaut club.db dans ce dossier). Fermez la fenêtre (ou
rem Ctrl+C) pour arrêter la page.
setlocal
set "BASE=%~1"
if "%BASE%"=="" set "BASE=%~dp0club.db"
if not exist "%BASE%" "%~dp0couloir.exe" init-db "%BASE%" || goto :fin
"%~dp0couloir.exe" serve "%BASE%" --open
:fin
pause
