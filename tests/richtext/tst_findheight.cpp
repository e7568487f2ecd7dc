int runFindHeightTests(int, char **)
{
    return 0;
}
