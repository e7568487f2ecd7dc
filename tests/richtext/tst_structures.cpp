int runStructureTests(int, char **)
{
    return 0;
}
